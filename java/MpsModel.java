import java.io.BufferedInputStream;
import java.io.BufferedReader;
import java.io.IOException;
import java.io.InputStream;
import java.io.InputStreamReader;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.HashMap;
import java.util.HashSet;
import java.util.List;
import java.util.Locale;
import java.util.Map;
import java.util.Set;
import java.util.regex.Pattern;
import java.util.zip.GZIPInputStream;

/**
 * A linear program read from an MPS file (fixed or free format), and its conversion into the
 * nine arrays of {@link kestrovan#runGLPK}.
 *
 * <p>Lines are split at white space, so both formats read the same way as long as no name
 * contains a space. Sections: NAME, OBJSENSE (MAX or MIN, on the same line or the next),
 * OBJNAME, ROWS (N, E, L, G), COLUMNS (integer MARKER lines are ignored: the LP relaxation is
 * read), RHS, RANGES, BOUNDS (UP, LO, FX, FR, MI, PL, BV, LI, UI) and ENDATA. The first N row is
 * the objective unless OBJNAME names another; other N rows are dropped. Values of 1e30 or more
 * in RHS, RANGES and BOUNDS mean infinity. The file may be gzip-compressed.
 */
final class MpsModel {

    /** A file that is not a model this reader understands; the message names the file and line. */
    static final class FormatException extends Exception {
        private static final long serialVersionUID = 1L;

        FormatException(String message) {
            super(message);
        }
    }

    /** The nine arguments of {@link kestrovan#runGLPK}. */
    static final class LpArrays {
        final int[] method;
        final double[] obj;
        final int[] ai;
        final int[] aj;
        final double[] amatrix;
        final double[] rhs;
        final byte[] type;
        final double[] lb;
        final double[] ub;

        LpArrays(int[] method, double[] obj, int[] ai, int[] aj, double[] amatrix, double[] rhs, byte[] type,
                double[] lb, double[] ub) {
            this.method = method;
            this.obj = obj;
            this.ai = ai;
            this.aj = aj;
            this.amatrix = amatrix;
            this.rhs = rhs;
            this.type = type;
            this.lb = lb;
            this.ub = ub;
        }
    }

    /** Magnitude from which a value in RHS, RANGES or BOUNDS stands for infinity. */
    static final double INFINITE_VALUE = 1e30;

    private static final double INF = Double.POSITIVE_INFINITY;
    private static final Pattern NUMBER = Pattern.compile("[+-]?(\\d+\\.?\\d*|\\.\\d+)([eEdD][+-]?\\d+)?");
    private static final Pattern INFINITY_WORD = Pattern.compile("[+-]?(inf|infinity)", Pattern.CASE_INSENSITIVE);

    private enum Section { NONE, NAME, OBJSENSE, OBJNAME, ROWS, COLUMNS, RHS, RANGES, BOUNDS }

    // The model as read. Rows are the non-objective rows in file order; N rows other than the
    // objective are remembered only so that their entries can be skipped.
    String name = "";
    boolean maximize;
    String objectiveRow;
    double objectiveConstant;
    final List<String> rowNames = new ArrayList<>();
    final List<Character> rowKinds = new ArrayList<>();
    final List<Double> rowRhs = new ArrayList<>();
    final List<Double> rowRange = new ArrayList<>();
    final List<String> columnNames = new ArrayList<>();
    final List<Double> columnCost = new ArrayList<>();
    final List<Double> columnLower = new ArrayList<>();
    final List<Double> columnUpper = new ArrayList<>();
    final List<int[]> entryIndex = new ArrayList<>();
    final List<Double> entryValue = new ArrayList<>();
    /** Notes about liberties taken while reading (a negative upper bound that freed a lower bound). */
    final List<String> notes = new ArrayList<>();

    private final Map<String, Integer> rowIndex = new HashMap<>();
    private final Set<String> droppedRows = new HashSet<>();
    private final Map<String, Integer> columnIndex = new HashMap<>();
    private final Set<Long> entryKeys = new HashSet<>();
    private final Set<Integer> rowsWithRhs = new HashSet<>();
    private final Set<Integer> rowsWithRange = new HashSet<>();
    private String requestedObjective;
    private boolean objectiveRhsSeen;
    private String rhsSet;
    private String rangeSet;
    private String boundSet;

    private final String source;
    private int lineNumber;

    private MpsModel(String source) {
        this.source = source;
    }

    /** Reads the file, gzip-compressed or not. */
    static MpsModel read(Path file) throws IOException, FormatException {
        try (InputStream raw = new BufferedInputStream(Files.newInputStream(file))) {
            raw.mark(2);
            boolean gzip = raw.read() == 0x1f && raw.read() == 0x8b;
            raw.reset();
            InputStream in = gzip ? new GZIPInputStream(raw) : raw;
            BufferedReader reader = new BufferedReader(new InputStreamReader(in, StandardCharsets.ISO_8859_1));
            return parse(reader, file.toString());
        }
    }

    /** Reads a model; source names it in messages. */
    static MpsModel parse(BufferedReader reader, String source) throws IOException, FormatException {
        MpsModel model = new MpsModel(source);
        model.parseLines(reader);
        return model;
    }

    private void parseLines(BufferedReader reader) throws IOException, FormatException {
        Section section = Section.NONE;
        boolean ended = false;
        boolean anyLine = false;
        String line;
        while (!ended && (line = reader.readLine()) != null) {
            lineNumber++;
            if (line.isBlank() || line.charAt(0) == '*') continue;
            anyLine = true;
            String[] tokens = line.trim().split("\\s+");
            if (!Character.isWhitespace(line.charAt(0))) {
                section = startSection(tokens, line);
                if (section == null) ended = true;
                continue;
            }
            switch (section) {
                case NONE, NAME -> throw error("data line outside a section");
                case OBJSENSE -> readSense(tokens);
                case OBJNAME -> readObjectiveName(tokens);
                case ROWS -> readRow(tokens);
                case COLUMNS -> readColumnLine(tokens);
                case RHS -> readRhsLine(tokens);
                case RANGES -> readRangeLine(tokens);
                case BOUNDS -> readBound(tokens);
            }
        }
        if (!anyLine) throw new FormatException(source + ": the file holds no model");
        if (!ended) throw new FormatException(source + ": the file ends without ENDATA");
        if (requestedObjective != null && objectiveRow == null)
            throw new FormatException(source + ": OBJNAME names " + requestedObjective + ", which is not an N row");
        if (columnNames.isEmpty()) throw new FormatException(source + ": the model has no columns");
    }

    /** Starts the section a header line names; null for ENDATA. */
    private Section startSection(String[] tokens, String line) throws FormatException {
        String keyword = tokens[0];
        switch (keyword) {
            case "NAME":
                name = line.substring(4).trim();
                return Section.NAME;
            case "OBJSENSE":
                if (tokens.length > 1) readSense(Arrays.copyOfRange(tokens, 1, tokens.length));
                return Section.OBJSENSE;
            case "OBJNAME":
                if (tokens.length > 1) readObjectiveName(Arrays.copyOfRange(tokens, 1, tokens.length));
                return Section.OBJNAME;
            case "ROWS":
                return Section.ROWS;
            case "COLUMNS":
                return Section.COLUMNS;
            case "RHS":
                return Section.RHS;
            case "RANGES":
                return Section.RANGES;
            case "BOUNDS":
                return Section.BOUNDS;
            case "ENDATA":
                return null;
            default:
                throw error("unknown or unsupported section " + keyword);
        }
    }

    private void readSense(String[] tokens) throws FormatException {
        if (tokens.length != 1) throw error("OBJSENSE takes one word, MAX or MIN");
        switch (tokens[0].toUpperCase(Locale.ROOT)) {
            case "MAX", "MAXIMIZE", "MAXIMISE" -> maximize = true;
            case "MIN", "MINIMIZE", "MINIMISE" -> maximize = false;
            default -> throw error("unknown objective sense " + tokens[0] + " (use MAX or MIN)");
        }
    }

    private void readObjectiveName(String[] tokens) throws FormatException {
        if (tokens.length != 1) throw error("OBJNAME takes one row name");
        if (objectiveRow != null || !rowIndex.isEmpty() || !droppedRows.isEmpty()) throw error("OBJNAME must come before ROWS");
        requestedObjective = tokens[0];
    }

    private void readRow(String[] tokens) throws FormatException {
        if (tokens.length != 2) throw error("a ROWS line holds a row type and a row name");
        String kind = tokens[0];
        String row = tokens[1];
        if (rowIndex.containsKey(row) || droppedRows.contains(row) || row.equals(objectiveRow))
            throw error("row " + row + " is defined twice");
        switch (kind) {
            case "N" -> {
                boolean isObjective = requestedObjective != null ? row.equals(requestedObjective)
                        : objectiveRow == null;
                if (isObjective) objectiveRow = row;
                else droppedRows.add(row);
            }
            case "E", "L", "G" -> {
                rowIndex.put(row, rowNames.size());
                rowNames.add(row);
                rowKinds.add(kind.charAt(0));
                rowRhs.add(0.0);
                rowRange.add(Double.NaN);
            }
            default -> throw error("unknown row type " + kind + " (use N, E, L or G)");
        }
    }

    private void readColumnLine(String[] tokens) throws FormatException {
        if (tokens.length == 3 && tokens[1].equals("'MARKER'")) return;
        if (tokens.length != 3 && tokens.length != 5)
            throw error("a COLUMNS line holds a column name and one or two pairs of row name and value");
        String column = tokens[0];
        Integer j = columnIndex.get(column);
        if (j == null) {
            j = columnNames.size();
            columnIndex.put(column, j);
            columnNames.add(column);
            columnCost.add(0.0);
            columnLower.add(0.0);
            columnUpper.add(INF);
        }
        for (int k = 1; k < tokens.length; k += 2) {
            String row = tokens[k];
            double value = finiteNumber(tokens[k + 1]);
            if (row.equals(objectiveRow)) {
                if (!entryKeys.add(((long) -1 << 32) | j)) throw error("column " + column + " has two costs");
                columnCost.set(j, value);
            } else if (droppedRows.contains(row)) {
                continue;
            } else {
                int i = knownRow(row);
                if (!entryKeys.add(((long) i << 32) | j))
                    throw error("column " + column + " has two entries in row " + row);
                entryIndex.add(new int[] {i, j});
                entryValue.add(value);
            }
        }
    }

    private void readRhsLine(String[] tokens) throws FormatException {
        int first = vectorStart(tokens, "RHS");
        if (first == 1) rhsSet = sameSet(rhsSet, tokens[0], "RHS");
        for (int k = first; k < tokens.length; k += 2) {
            String row = tokens[k];
            double value = number(tokens[k + 1]);
            if (row.equals(objectiveRow)) {
                if (objectiveRhsSeen) throw error("a second right-hand side for row " + row);
                if (Double.isInfinite(value)) throw error("the objective constant must be finite");
                objectiveRhsSeen = true;
                objectiveConstant = value == 0 ? 0.0 : -value;
            } else if (!droppedRows.contains(row)) {
                int i = knownRow(row);
                if (!rowsWithRhs.add(i)) throw error("a second right-hand side for row " + row);
                if (rowKinds.get(i) == 'E' && Double.isInfinite(value))
                    throw error("equality row " + row + " has an infinite right-hand side");
                rowRhs.set(i, value);
            }
        }
    }

    private void readRangeLine(String[] tokens) throws FormatException {
        int first = vectorStart(tokens, "RANGES");
        if (first == 1) rangeSet = sameSet(rangeSet, tokens[0], "RANGES");
        for (int k = first; k < tokens.length; k += 2) {
            String row = tokens[k];
            double value = number(tokens[k + 1]);
            if (row.equals(objectiveRow) || droppedRows.contains(row))
                throw error("row " + row + " is a free (N) row and takes no range");
            int i = knownRow(row);
            if (!rowsWithRange.add(i)) throw error("a second range for row " + row);
            rowRange.set(i, value);
        }
    }

    private void readBound(String[] tokens) throws FormatException {
        String type = tokens[0];
        boolean needsValue;
        switch (type) {
            case "UP", "LO", "FX", "LI", "UI" -> needsValue = true;
            case "FR", "MI", "PL", "BV" -> needsValue = false;
            default -> throw error("unknown bound type " + type
                    + " (known: UP, LO, FX, FR, MI, PL, BV, LI, UI)");
        }
        String set = null;
        String column;
        double value = 0;
        if (needsValue) {
            if (tokens.length == 4) {
                set = tokens[1];
                column = tokens[2];
            } else if (tokens.length == 3) {
                column = tokens[1];
            } else {
                throw error("a " + type + " bound line holds a bound name, a column name and a value");
            }
            value = number(tokens[tokens.length - 1]);
        } else if (tokens.length == 2) {
            column = tokens[1];
        } else if (tokens.length == 3 && columnIndex.containsKey(tokens[2]) || tokens.length == 4) {
            set = tokens[1];
            column = tokens[2];
        } else if (tokens.length == 3) {
            column = tokens[1];
        } else {
            throw error("a " + type + " bound line holds a bound name and a column name");
        }
        if (set != null) boundSet = sameSet(boundSet, set, "BOUNDS");
        Integer j = columnIndex.get(column);
        if (j == null) throw error("unknown column " + column);
        switch (type) {
            case "UP", "UI" -> setUpper(j, value);
            case "LO", "LI" -> columnLower.set(j, value);
            case "FX" -> {
                if (Double.isInfinite(value)) throw error("a fixed bound must be finite");
                columnLower.set(j, value);
                columnUpper.set(j, value);
            }
            case "FR" -> {
                columnLower.set(j, -INF);
                columnUpper.set(j, INF);
            }
            case "MI" -> columnLower.set(j, -INF);
            case "PL" -> columnUpper.set(j, INF);
            case "BV" -> {
                columnLower.set(j, 0.0);
                columnUpper.set(j, 1.0);
            }
            default -> throw new AssertionError(type);
        }
    }

    // A negative upper bound on a column whose lower bound is 0 frees the lower bound, as most
    // MPS readers do; the reader says so in a note.
    private void setUpper(int j, double value) {
        columnUpper.set(j, value);
        if (value < 0 && columnLower.get(j) == 0) {
            columnLower.set(j, -INF);
            notes.add(source + ":" + lineNumber + ": negative upper bound on column " + columnNames.get(j)
                    + " whose lower bound is 0: the lower bound is taken as -infinity");
        }
    }

    // RHS and RANGES lines: pairs of row name and value, after a set name when the count is odd.
    private int vectorStart(String[] tokens, String section) throws FormatException {
        int first = tokens.length % 2;
        if (tokens.length - first != 2 && tokens.length - first != 4)
            throw error("a " + section + " line holds an optional set name and one or two pairs of row name and value");
        return first;
    }

    private String sameSet(String current, String given, String section) throws FormatException {
        if (current != null && !current.equals(given))
            throw error("a second " + section + " set " + given + " (only one, " + current + ", is supported)");
        return given;
    }

    private int knownRow(String row) throws FormatException {
        Integer i = rowIndex.get(row);
        if (i == null) throw error("unknown row " + row);
        return i;
    }

    private double finiteNumber(String token) throws FormatException {
        if (!NUMBER.matcher(token).matches()) throw error("not a number: " + token);
        double value = Double.parseDouble(token.replace('d', 'e').replace('D', 'e'));
        if (Double.isInfinite(value)) throw error("not a finite number: " + token);
        return value;
    }

    private double number(String token) throws FormatException {
        if (INFINITY_WORD.matcher(token).matches()) return token.startsWith("-") ? -INF : INF;
        if (!NUMBER.matcher(token).matches()) throw error("not a number: " + token);
        double value = Double.parseDouble(token.replace('d', 'e').replace('D', 'e'));
        if (value >= INFINITE_VALUE) return INF;
        if (value <= -INFINITE_VALUE) return -INF;
        return value;
    }

    private FormatException error(String message) {
        return new FormatException(source + ":" + lineNumber + ": " + message);
    }

    /**
     * The model as the nine arrays: a minimisation (the costs negated for MAX) whose rows are
     * equalities (type 0) or rows bounded above (type 1). An E row is an equality; an L row is
     * bounded above by its right-hand side; a G row becomes its negation bounded above by the
     * negated right-hand side. A range R turns a row into the interval it means (E: [rhs, rhs+R]
     * for R &gt; 0, [rhs+R, rhs] for R &lt; 0; L: [rhs-|R|, rhs]; G: [rhs, rhs+|R|]), carried by
     * two rows in a row: the row bounded above by the upper end, then its negation bounded above
     * by the negated lower end. Columns keep their bounds.
     */
    LpArrays toArrays(int method) {
        List<Double> outRhs = new ArrayList<>();
        List<Byte> outType = new ArrayList<>();
        int[][] outRows = new int[rowNames.size()][];
        for (int i = 0; i < rowNames.size(); i++) {
            char kind = rowKinds.get(i);
            double rhs = rowRhs.get(i);
            double range = rowRange.get(i);
            boolean ranged = !Double.isNaN(range);
            double lower;
            double upper;
            if (kind == 'E' && (!ranged || range == 0)) {
                outRows[i] = new int[] {outRhs.size()};
                outRhs.add(rhs);
                outType.add((byte) 0);
                continue;
            } else if (kind == 'E') {
                lower = range > 0 ? rhs : rhs + range;
                upper = range > 0 ? rhs + range : rhs;
            } else if (kind == 'L') {
                lower = ranged ? rhs - Math.abs(range) : -INF;
                upper = rhs;
            } else {
                lower = rhs;
                upper = ranged ? rhs + Math.abs(range) : INF;
            }
            boolean keepUpper = upper < INF || kind == 'L';
            boolean keepLower = lower > -INF || kind == 'G';
            if (keepUpper && keepLower) outRows[i] = new int[] {outRhs.size(), ~(outRhs.size() + 1)};
            else if (keepUpper) outRows[i] = new int[] {outRhs.size()};
            else outRows[i] = new int[] {~outRhs.size()};
            if (keepUpper) {
                outRhs.add(upper);
                outType.add((byte) 1);
            }
            if (keepLower) {
                outRhs.add(negate(lower));
                outType.add((byte) 1);
            }
        }

        List<int[]> entries = new ArrayList<>();
        List<Double> values = new ArrayList<>();
        for (int k = 0; k < entryIndex.size(); k++) {
            int[] ij = entryIndex.get(k);
            for (int out : outRows[ij[0]]) {
                // A negative number marks a negated row: ~out is its index.
                entries.add(new int[] {out < 0 ? ~out : out, ij[1]});
                values.add(out < 0 ? negate(entryValue.get(k)) : entryValue.get(k));
            }
        }

        int n = columnNames.size();
        double[] obj = new double[n];
        double[] lb = new double[n];
        double[] ub = new double[n];
        for (int j = 0; j < n; j++) {
            obj[j] = maximize ? negate(columnCost.get(j)) : columnCost.get(j);
            lb[j] = columnLower.get(j);
            ub[j] = columnUpper.get(j);
        }
        int nnz = entries.size();
        int[] ai = new int[nnz];
        int[] aj = new int[nnz];
        double[] amatrix = new double[nnz];
        for (int k = 0; k < nnz; k++) {
            ai[k] = entries.get(k)[0];
            aj[k] = entries.get(k)[1];
            amatrix[k] = values.get(k);
        }
        int m = outRhs.size();
        double[] rhs = new double[m];
        byte[] type = new byte[m];
        for (int i = 0; i < m; i++) {
            rhs[i] = outRhs.get(i);
            type[i] = outType.get(i);
        }
        return new LpArrays(new int[] {method}, obj, ai, aj, amatrix, rhs, type, lb, ub);
    }

    // Negation that never makes -0, so the echo shows 0 where the file has 0.
    private static double negate(double value) {
        return value == 0 ? 0.0 : -value;
    }
}
