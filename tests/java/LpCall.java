import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import java.util.regex.Matcher;
import java.util.regex.Pattern;

/** The nine arrays of one runGLPK call, with the models and report parsing the tests share. */
final class LpCall {
    static final double INF = Double.POSITIVE_INFINITY;
    static final String MARKER = "aqui????";
    static final String NOTICE = "Method Currently not Supported! /n";

    int[] method;
    double[] obj;
    int[] ai;
    int[] aj;
    double[] amatrix;
    double[] rhs;
    byte[] type;
    double[] lb;
    double[] ub;

    LpCall(int[] method, double[] obj, int[] ai, int[] aj, double[] amatrix, double[] rhs, byte[] type,
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

    void run() {
        kestrovan.runGLPK(method, obj, ai, aj, amatrix, rhs, type, lb, ub);
    }

    /** A deep copy: the same values in new arrays (null stays null). */
    LpCall copy() {
        return new LpCall(method == null ? null : method.clone(), obj == null ? null : obj.clone(),
                ai == null ? null : ai.clone(), aj == null ? null : aj.clone(),
                amatrix == null ? null : amatrix.clone(), rhs == null ? null : rhs.clone(),
                type == null ? null : type.clone(), lb == null ? null : lb.clone(), ub == null ? null : ub.clone());
    }

    /** The arrays that differ from other's, by name; doubles compare bit for bit. */
    List<String> differencesFrom(LpCall other) {
        List<String> names = new ArrayList<>();
        if (!Arrays.equals(method, other.method)) names.add("method");
        if (!Arrays.equals(obj, other.obj)) names.add("obj");
        if (!Arrays.equals(ai, other.ai)) names.add("ai");
        if (!Arrays.equals(aj, other.aj)) names.add("aj");
        if (!Arrays.equals(amatrix, other.amatrix)) names.add("amatrix");
        if (!Arrays.equals(rhs, other.rhs)) names.add("rhs");
        if (!Arrays.equals(type, other.type)) names.add("type");
        if (!Arrays.equals(lb, other.lb)) names.add("lb");
        if (!Arrays.equals(ub, other.ub)) names.add("ub");
        return names;
    }

    /**
     * A model solved on paper, scaled by s:
     * <pre>
     * min  s (-x0 + x1 + 4 x2 + 3 x3)
     *      x0 + x1 + x2  =  1      row 0, type 0: equality
     *      x0 - x3      <= -3      row 1, type -1: upper bound
     *      x0 free, 0 <= x1 <= 10, x2 fixed at 2, x3 >= 0
     * </pre>
     * x0 = -1 - x1 and x1 + x3 >= 2 leave s (9 + 2 x1 + 3 x3): the optimum is 13 s at
     * x = (-3, 2, 2, 0). A column given lower bound 0, or any column given both bounds, changes it.
     */
    static LpCall paperModel(int selector, double s) {
        return new LpCall(new int[] {selector}, new double[] {-s, s, 4 * s, 3 * s}, new int[] {0, 0, 0, 1, 1},
                new int[] {0, 1, 2, 0, 3}, new double[] {1, 1, 1, 1, -1}, new double[] {1, -3}, new byte[] {0, -1},
                new double[] {-INF, 0, 2, 0}, new double[] {INF, 10, 2, INF});
    }

    static final double PAPER_OPTIMUM = 13;

    private static final Pattern SIMPLEX_LINE = Pattern.compile("(?m)^[* ] *\\d+: obj = +([-+0-9.e]+) +inf = ");
    private static final Pattern INTERIOR_LINE = Pattern.compile("(?m)^ *\\d+: obj = +([-+0-9.e]+); rpi = ");

    /**
     * The value of the last "*   N: obj = V  inf = ..." line before "OPTIMAL LP SOLUTION FOUND"
     * (GLPK marks the line with a space instead of "*" while the basis is not yet feasible).
     */
    static double simplexOptimum(String report) {
        int end = report.lastIndexOf("\nOPTIMAL LP SOLUTION FOUND\n");
        if (end < 0) throw new AssertionError("no simplex optimum in:\n" + report);
        return lastValue(SIMPLEX_LINE, report.substring(0, end + 1), report);
    }

    /** The value of the last "N: obj = V;" line before "OPTIMAL SOLUTION FOUND". */
    static double interiorOptimum(String report) {
        int end = report.lastIndexOf("\nOPTIMAL SOLUTION FOUND\n");
        if (end < 0) throw new AssertionError("no interior-point optimum in:\n" + report);
        return lastValue(INTERIOR_LINE, report.substring(0, end + 1), report);
    }

    /** Every objective value GLPK reported, of both methods, in order. */
    static List<Double> allObjectiveValues(String report) {
        List<Double> values = new ArrayList<>();
        for (Pattern p : List.of(SIMPLEX_LINE, INTERIOR_LINE)) {
            Matcher m = p.matcher(report);
            while (m.find()) values.add(Double.parseDouble(m.group(1).trim()));
        }
        return values;
    }

    private static double lastValue(Pattern pattern, String text, String report) {
        Matcher m = pattern.matcher(text);
        String last = null;
        while (m.find()) last = m.group(1);
        if (last == null) throw new AssertionError("no objective line in:\n" + report);
        return Double.parseDouble(last.trim());
    }

    static int count(String text, String piece) {
        int n = 0;
        for (int at = text.indexOf(piece); at >= 0; at = text.indexOf(piece, at + piece.length())) n++;
        return n;
    }
}
