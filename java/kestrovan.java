import java.io.IOException;
import java.net.URISyntaxException;
import java.nio.file.AccessDeniedException;
import java.nio.file.Files;
import java.nio.file.InvalidPathException;
import java.nio.file.NoSuchFileException;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.security.CodeSource;
import java.util.ArrayList;
import java.util.LinkedHashSet;
import java.util.List;
import java.util.Set;

/**
 * Solves linear programs with GLPK through the native library {@code kestrovan}.
 *
 * <p>One call hands over a whole linear program as nine arrays. The library
 * echoes the input to standard output, builds the problem in GLPK, builds an
 * advanced initial basis and runs the method the selector names. What the
 * caller gets back is the text on standard output; the arrays are never
 * changed. {@link #main} is a command line that solves a model read from an
 * MPS file ({@code --help} explains it).
 */
public final class kestrovan {

    /** Property naming the library file by absolute path, tried before java.library.path. */
    public static final String LIBRARY_PROPERTY = "kestrovan.library";

    /** GLPK hit a fatal internal error; the message is GLPK's own. The JVM and GLPK go on working. */
    public static final class GlpkException extends RuntimeException {
        private static final long serialVersionUID = 1L;

        public GlpkException(String message) {
            super(message);
        }
    }

    /** Why the library could not be loaded, kept for main when the launcher started the class. */
    private static final UnsatisfiedLinkError LOAD_FAILURE;

    // Java code that uses the class gets the UnsatisfiedLinkError at once. When the class is
    // initialised with no Java caller, the java launcher is about to run main: main reports the
    // failure in one line, and --help and usage errors work without the library.
    static {
        UnsatisfiedLinkError failure = null;
        try {
            loadNativeLibrary();
        } catch (UnsatisfiedLinkError e) {
            boolean javaCaller = StackWalker.getInstance().walk(frames -> frames.skip(1).findFirst().isPresent());
            if (javaCaller) throw e;
            failure = e;
        }
        LOAD_FAILURE = failure;
    }

    private kestrovan() {
    }

    /**
     * Minimises obj'x subject to the rows and the column bounds, with GLPK.
     *
     * @param method  element 0 selects the method by its low 16 bits: 0 simplex, 1 interior point,
     *                2 writes "Method Currently not Supported! /n", anything else runs nothing
     * @param obj     objective coefficient of each column; its length is the number of columns
     * @param ai      0-based row of each matrix entry; its length is the number of entries
     * @param aj      0-based column of each matrix entry (at least as long as ai)
     * @param amatrix value of each matrix entry (at least as long as ai)
     * @param rhs     right-hand side of each row; its length is the number of rows
     * @param type    0 for a row equal to its right-hand side, anything else for a row at most it
     *                (at least as long as rhs)
     * @param lb      lower bound of each column, -infinity for none (at least as long as obj)
     * @param ub      upper bound of each column, +infinity for none (at least as long as obj)
     * @throws NullPointerException     if an array is null
     * @throws IllegalArgumentException if an array is too short or a value cannot be handed to GLPK;
     *                                  nothing has been written then
     * @throws GlpkException            if GLPK hit a fatal error
     */
    public static native void runGLPK(int[] method, double[] obj, int[] ai, int[] aj, double[] amatrix,
            double[] rhs, byte[] type, double[] lb, double[] ub);

    // Tries, in order: the file named by -Dkestrovan.library (alone, if it is set), the folders on
    // java.library.path, the jar's own folder, the installed layout relative to the jar (so an
    // installation under any prefix or DESTDIR works), the configured installation folder and
    // Debian's JNI folder. The error lists every place tried.
    private static void loadNativeLibrary() {
        String path = System.getProperty(LIBRARY_PROPERTY);
        if (path != null && !path.isEmpty()) {
            try {
                System.load(path);
                return;
            } catch (UnsatisfiedLinkError e) {
                throw linkError("the file " + path + " named by -D" + LIBRARY_PROPERTY + ": " + e.getMessage(), e);
            }
        }
        String fileName = System.mapLibraryName("kestrovan");
        List<String> tried = new ArrayList<>();
        UnsatisfiedLinkError last;
        try {
            System.loadLibrary("kestrovan");
            return;
        } catch (UnsatisfiedLinkError e) {
            tried.add(fileName + " on java.library.path (" + System.getProperty("java.library.path") + "): "
                    + e.getMessage());
            last = e;
        }
        for (Path candidate : libraryCandidates(fileName)) {
            if (!Files.isRegularFile(candidate)) {
                tried.add(candidate + ": no such file");
                continue;
            }
            try {
                System.load(candidate.toString());
                return;
            } catch (UnsatisfiedLinkError e) {
                tried.add(candidate + ": " + e.getMessage());
                last = e;
            }
        }
        throw linkError(String.join("; ", tried), last);
    }

    private static List<Path> libraryCandidates(String fileName) {
        Set<Path> candidates = new LinkedHashSet<>();
        Path jarFolder = jarFolder();
        if (jarFolder != null) {
            candidates.add(jarFolder.resolve(fileName));
            candidates.add(jarFolder.resolve(KestrovanLayout.LIBRARY_DIR_FROM_JAR).resolve(fileName).normalize());
        }
        candidates.add(Paths.get(KestrovanLayout.INSTALLED_LIBRARY_DIR, fileName));
        if (!KestrovanLayout.SYSTEM_LIBRARY_DIR.isEmpty())
            candidates.add(Paths.get(KestrovanLayout.SYSTEM_LIBRARY_DIR, fileName));
        return new ArrayList<>(candidates);
    }

    // The folder of the jar this class came from (or the class folder itself); null if unknown.
    private static Path jarFolder() {
        try {
            CodeSource code = kestrovan.class.getProtectionDomain().getCodeSource();
            if (code == null || code.getLocation() == null) return null;
            Path location = Paths.get(code.getLocation().toURI()).toAbsolutePath();
            return Files.isDirectory(location) ? location : location.getParent();
        } catch (URISyntaxException | RuntimeException e) {
            return null;
        }
    }

    private static UnsatisfiedLinkError linkError(String tried, UnsatisfiedLinkError cause) {
        UnsatisfiedLinkError error = new UnsatisfiedLinkError("kestrovan: cannot load the native library; tried "
                + tried + ". Set -D" + LIBRARY_PROPERTY
                + "=/absolute/path/to/" + System.mapLibraryName("kestrovan") + " or -Djava.library.path=DIR.");
        error.initCause(cause);
        return error;
    }

    private static final String HELP = String.join("\n",
            "Usage: java -jar kestrovan.jar [--method simplex|interior|N] [FILE.mps]",
            "       java -cp kestrovan.jar kestrovan [--method ...] [FILE.mps]",
            "Reads a linear program in fixed or free MPS format (gzip-compressed too), turns it into",
            "the nine arrays of kestrovan.runGLPK and calls it once: the input echo, GLPK's report and",
            "the marker aqui???? go to standard output. Without FILE it solves a small built-in example.",
            "  --method simplex   GLPK's simplex method (the default; selector 0)",
            "  --method interior  GLPK's interior-point method (selector 1)",
            "  --method N         any integer, passed as the selector as it is",
            "  --help             this text",
            "Conversion: a minimisation (the costs negated for OBJSENSE MAX); E rows are equalities,",
            "L rows are bounded above, G rows are negated and bounded above; a RANGES entry turns a",
            "row into two rows, one for each end. The first N row is the objective, other N rows are",
            "dropped; its RHS entry r means the objective constant -r, which GLPK's report leaves out",
            "(kestrovan says so on standard error). Columns default to [0, +inf); bounds UP LO FX FR",
            "MI PL BV LI UI are continuous (BV is [0, 1]); UP below 0 on a column with lower bound 0",
            "makes the lower bound -inf, with a note. Integer markers are ignored (LP relaxation);",
            "values of 1e30 or more in RHS, RANGES and BOUNDS are infinite; names have no spaces.",
            "Exit status: 0 solved (whatever GLPK found), 2 bad usage or input, 1 GLPK failed or the",
            "native library could not be loaded.");

    /**
     * The command line: reads the MPS file given (or takes the built-in example), calls
     * {@link #runGLPK} once and reports on standard error what GLPK's report cannot show. Exits
     * with status 2 on bad usage or input and 1 if GLPK failed; returns normally on success.
     */
    public static void main(String[] args) {
        int status = runCommandLine(args);
        if (status != 0) System.exit(status);
    }

    private static int runCommandLine(String[] args) {
        int method = 0;
        String file = null;
        boolean optionsEnded = false;
        for (int k = 0; k < args.length; k++) {
            String arg = args[k];
            if (optionsEnded || !arg.startsWith("-")) {
                if (file != null) return usageError("more than one model file given");
                file = arg;
            } else if (arg.equals("--")) {
                optionsEnded = true;
            } else if (arg.equals("--help") || arg.equals("-h")) {
                System.out.println(HELP);
                return 0;
            } else if (arg.equals("--method") || arg.startsWith("--method=")) {
                String value;
                if (arg.equals("--method")) {
                    if (++k == args.length) return usageError("--method needs a value: simplex, interior or an integer");
                    value = args[k];
                } else {
                    value = arg.substring("--method=".length());
                }
                Integer selector = methodSelector(value);
                if (selector == null)
                    return usageError("bad --method value '" + value + "': use simplex, interior or an integer");
                method = selector;
            } else {
                return usageError("unknown option " + arg);
            }
        }

        MpsModel.LpArrays lp;
        MpsModel model = null;
        if (file == null) {
            lp = builtInExample(method);
        } else {
            try {
                model = MpsModel.read(Paths.get(file));
            } catch (MpsModel.FormatException e) {
                return fail(2, e.getMessage());
            } catch (NoSuchFileException e) {
                return fail(2, file + ": no such file");
            } catch (AccessDeniedException e) {
                return fail(2, file + ": permission denied");
            } catch (IOException | InvalidPathException e) {
                return fail(2, file + ": cannot read: " + e.getMessage());
            }
            model.notes.forEach(note -> System.err.println("kestrovan: " + note));
            lp = model.toArrays(method);
        }

        if (LOAD_FAILURE != null) return fail(1, LOAD_FAILURE.getMessage().substring("kestrovan: ".length()));
        try {
            runGLPK(lp.method, lp.obj, lp.ai, lp.aj, lp.amatrix, lp.rhs, lp.type, lp.lb, lp.ub);
        } catch (IllegalArgumentException e) {
            return fail(2, "the model was refused: " + e.getMessage());
        } catch (GlpkException e) {
            System.out.println();
            return fail(1, "GLPK failed: " + e.getMessage());
        }
        System.out.println();
        if (model != null && model.maximize)
            System.err.println("kestrovan: the model maximises: GLPK minimised the negated objective, so the"
                    + " model's objective is minus GLPK's value");
        if (model != null && model.objectiveConstant != 0)
            System.err.println("kestrovan: objective constant " + model.objectiveConstant
                    + " (from the RHS of row " + model.objectiveRow + ") not included in GLPK's report");
        return 0;
    }

    private static Integer methodSelector(String value) {
        switch (value) {
            case "simplex":
                return 0;
            case "interior":
                return 1;
            default:
                try {
                    return Integer.valueOf(value);
                } catch (NumberFormatException e) {
                    return null;
                }
        }
    }

    private static int usageError(String message) {
        return fail(2, message + " (see --help)");
    }

    private static int fail(int status, String message) {
        System.err.println("kestrovan: " + message);
        return status;
    }

    /**
     * A small production plan: make x tables and y chairs for profit 3x + 2y (minimise its
     * negative), with 4 hours of assembly (x + y &lt;= 4), 6 hours of finishing (x + 3y &lt;= 6)
     * and room for at most 3 tables. The optimum is x = 3, y = 1, objective -11.
     */
    private static MpsModel.LpArrays builtInExample(int method) {
        return new MpsModel.LpArrays(new int[] {method}, new double[] {-3, -2}, new int[] {0, 0, 1, 1},
                new int[] {0, 1, 0, 1}, new double[] {1, 1, 1, 3}, new double[] {4, 6}, new byte[] {1, 1},
                new double[] {0, 0}, new double[] {3, Double.POSITIVE_INFINITY});
    }
}
