/**
 * Solves linear programs with GLPK through the native library {@code kestrovan}.
 *
 * <p>One call hands over a whole linear program as nine arrays. The library
 * echoes the input to standard output, builds the problem in GLPK, builds an
 * advanced initial basis and runs the method the selector names. What the
 * caller gets back is the text on standard output; the arrays are never
 * changed.
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

    static {
        loadNativeLibrary();
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

    private static void loadNativeLibrary() {
        String path = System.getProperty(LIBRARY_PROPERTY);
        if (path != null && !path.isEmpty()) {
            try {
                System.load(path);
                return;
            } catch (UnsatisfiedLinkError e) {
                throw linkError("the file " + path + " named by -D" + LIBRARY_PROPERTY, e);
            }
        }
        try {
            System.loadLibrary("kestrovan");
        } catch (UnsatisfiedLinkError e) {
            throw linkError(System.mapLibraryName("kestrovan") + " on java.library.path ("
                    + System.getProperty("java.library.path") + ")", e);
        }
    }

    private static UnsatisfiedLinkError linkError(String tried, UnsatisfiedLinkError cause) {
        UnsatisfiedLinkError error = new UnsatisfiedLinkError("kestrovan: cannot load the native library; tried "
                + tried + ": " + cause.getMessage() + ". Set -D" + LIBRARY_PROPERTY
                + "=/absolute/path/to/" + System.mapLibraryName("kestrovan") + " or -Djava.library.path=DIR.");
        error.initCause(cause);
        return error;
    }

    /**
     * Solves a small production plan with the simplex method: make x tables and y chairs for
     * profit 3x + 2y (minimise its negative), with 4 hours of assembly (x + y &lt;= 4), 6 hours of
     * finishing (x + 3y &lt;= 6) and room for at most 3 tables. The optimum is x = 3, y = 1,
     * objective -11.
     */
    public static void main(String[] args) {
        int[] method = {0};
        double[] obj = {-3, -2};
        int[] ai = {0, 0, 1, 1};
        int[] aj = {0, 1, 0, 1};
        double[] amatrix = {1, 1, 1, 3};
        double[] rhs = {4, 6};
        byte[] type = {1, 1};
        double[] lb = {0, 0};
        double[] ub = {3, Double.POSITIVE_INFINITY};
        runGLPK(method, obj, ai, aj, amatrix, rhs, type, lb, ub);
        System.out.println();
    }
}
