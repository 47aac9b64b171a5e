import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static org.junit.jupiter.api.Assertions.fail;

import java.util.ArrayList;
import java.util.Arrays;
import java.util.HashMap;
import java.util.HashSet;
import java.util.List;
import java.util.Map;
import java.util.Random;
import java.util.Set;
import java.util.concurrent.CountDownLatch;
import java.util.regex.Matcher;
import java.util.regex.Pattern;

import org.junit.jupiter.api.BeforeAll;
import org.junit.jupiter.api.Test;

/**
 * Eight threads solve models of eight sizes with mixed selectors at once. Each model has its own
 * known optimum. A serial run first gives each (model, selector) pair's text and proves its
 * optimum; the concurrent run must then write exactly those lines, each one whole, every echo as
 * one unbroken block, one closing marker per call and one notice per selector-2 call.
 */
class ConcurrencyTest {

    static final String MARKER = "aqui????";
    static final String NOTICE = "Method Currently not Supported! /n";
    static final int MODELS = 8;
    static final int[] SELECTORS = {0, 1, 2, -1, 65536};
    static final int THREADS = 8;
    static final int CALLS_PER_THREAD = 40;

    /** A linear program as the nine arrays, with its optimum computed without GLPK. */
    static final class Model {
        double[] obj, amatrix, rhs, lb, ub;
        int[] ai, aj;
        byte[] type;
        double optimum;
    }

    /**
     * Model i: n = 2 + 6i columns x[j] in [0, 1 + j % 4] costing -(1 + (5j + i) % 9), one knapsack
     * row sum (1 + j % 3) x[j] &lt;= n + i, a column y costing 1 fixed by an equality row to i + 1,
     * a free row (right-hand side +inf) and 3i rows that the bounds already satisfy. The optimum is
     * the fractional knapsack's (best cost per weight first) plus i + 1.
     */
    static Model model(int i) {
        int n = 2 + 6 * i, y = n, redundant = 3 * i;
        Model m = new Model();
        m.obj = new double[n + 1];
        m.lb = new double[n + 1];
        m.ub = new double[n + 1];
        double[] weight = new double[n];
        for (int j = 0; j < n; ++j) {
            m.obj[j] = -(1 + (5 * j + i) % 9);
            m.ub[j] = 1 + j % 4;
            weight[j] = 1 + j % 3;
        }
        m.obj[y] = 1;
        m.ub[y] = Double.POSITIVE_INFINITY;
        int rows = 3 + redundant;
        m.rhs = new double[rows];
        m.type = new byte[rows];
        List<double[]> entries = new ArrayList<>();
        for (int j = 0; j < n; ++j)
            entries.add(new double[] {0, j, weight[j]});
        m.rhs[0] = n + i;
        m.type[0] = 1;
        entries.add(new double[] {1, y, 1});
        m.rhs[1] = i + 1;
        m.type[1] = 0;
        entries.add(new double[] {2, 0, 2});
        m.rhs[2] = Double.POSITIVE_INFINITY;
        m.type[2] = 5;
        for (int r = 0; r < redundant; ++r) {
            int a = r % n, b = (r + 1) % n;
            entries.add(new double[] {3 + r, a, 1});
            entries.add(new double[] {3 + r, b, 1});
            m.rhs[3 + r] = m.ub[a] + m.ub[b];
            m.type[3 + r] = -1;
        }
        m.ai = new int[entries.size()];
        m.aj = new int[entries.size()];
        m.amatrix = new double[entries.size()];
        for (int k = 0; k < entries.size(); ++k) {
            m.ai[k] = (int) entries.get(k)[0];
            m.aj[k] = (int) entries.get(k)[1];
            m.amatrix[k] = entries.get(k)[2];
        }

        Integer[] order = new Integer[n];
        for (int j = 0; j < n; ++j)
            order[j] = j;
        Arrays.sort(order, (p, q) -> Double.compare(m.obj[p] / weight[p], m.obj[q] / weight[q]));
        double capacity = m.rhs[0], optimum = i + 1;
        for (int j : order) {
            double x = Math.min(m.ub[j], capacity / weight[j]);
            optimum += m.obj[j] * x;
            capacity -= weight[j] * x;
        }
        m.optimum = optimum;
        return m;
    }

    static void solve(Model m, int selector) {
        kestrovan.runGLPK(new int[] {selector}, m.obj, m.ai, m.aj, m.amatrix, m.rhs, m.type, m.lb, m.ub);
    }

    /** The (model, selector position) pairs thread t solves, in order. */
    static int[][] plan(int thread) {
        Random random = new Random(1000 + thread);
        int[][] calls = new int[CALLS_PER_THREAD][];
        for (int c = 0; c < calls.length; ++c)
            calls[c] = new int[] {random.nextInt(MODELS), random.nextInt(SELECTORS.length)};
        return calls;
    }

    /** Child JVM: "serial" solves every (model, selector) pair once in order; "parallel" runs the plans. */
    public static final class Driver {
        public static void main(String[] args) throws InterruptedException {
            Model[] models = new Model[MODELS];
            for (int i = 0; i < MODELS; ++i)
                models[i] = model(i);
            if (args[0].equals("serial")) {
                for (Model m : models)
                    for (int selector : SELECTORS)
                        solve(m, selector);
                return;
            }
            CountDownLatch start = new CountDownLatch(1);
            List<Thread> threads = new ArrayList<>();
            for (int t = 0; t < THREADS; ++t) {
                int[][] calls = plan(t);
                Thread thread = new Thread(() -> {
                    try {
                        start.await();
                    } catch (InterruptedException e) {
                        return;
                    }
                    for (int[] call : calls)
                        solve(models[call[0]], SELECTORS[call[1]]);
                });
                threads.add(thread);
                thread.start();
            }
            start.countDown();
            for (Thread thread : threads)
                thread.join();
        }
    }

    static final Pattern ECHO_LINE = Pattern.compile(
            "(OBJ|RHS|LB|UB|Type)\\d+: \\S+|Ai: -?\\d+   Aj: -?\\d+   Amatrix\\d+: \\S+");
    static final Pattern SIMPLEX_LINE = Pattern.compile("\\*\\s+\\d+: obj = +(\\S+) +inf = .*");
    static final Pattern INTERIOR_LINE = Pattern.compile("\\s*\\d+: obj = +(\\S+); rpi = .*");

    static Model[] models;
    /** Whole lines written by each (model, selector position) call, from the serial run. */
    static List<String>[][] serialLines;

    static String number(double v) {
        if (Double.isInfinite(v)) return v > 0 ? "inf" : "-inf";
        return v == Math.rint(v) ? Long.toString((long) v) : Double.toString(v);
    }

    /** The echo the library writes for a model; its values are whole numbers or infinite. */
    static List<String> echo(Model m) {
        List<String> lines = new ArrayList<>();
        for (int k = 0; k < m.obj.length; ++k)
            lines.add("OBJ" + k + ": " + number(m.obj[k]));
        for (int k = 0; k < m.ai.length; ++k)
            lines.add("Ai: " + (m.ai[k] + 1) + "   Aj: " + (m.aj[k] + 1) + "   Amatrix" + k + ": "
                    + number(m.amatrix[k]));
        for (int k = 0; k < m.rhs.length; ++k)
            lines.add("RHS" + k + ": " + number(m.rhs[k]));
        for (int k = 0; k < m.obj.length; ++k) {
            lines.add("LB" + k + ": " + number(m.lb[k]));
            lines.add("UB" + k + ": " + number(m.ub[k]));
        }
        for (int k = 0; k < m.type.length; ++k)
            lines.add("Type" + k + ": " + (m.type[k] & 0xFFFF));
        return lines;
    }

    static double lastObjective(List<String> lines, Pattern pattern) {
        double value = Double.NaN;
        for (String line : lines) {
            Matcher matcher = pattern.matcher(line);
            if (matcher.matches()) value = Double.parseDouble(matcher.group(1));
        }
        return value;
    }

    @BeforeAll
    @SuppressWarnings("unchecked")
    static void serialRunGivesEachCallsTextAndItsKnownOptimum() {
        models = new Model[MODELS];
        Set<Double> optima = new HashSet<>();
        for (int i = 0; i < MODELS; ++i) {
            models[i] = model(i);
            optima.add(models[i].optimum);
        }
        assertEquals(MODELS, optima.size(), "every model has an optimum of its own");

        ChildJvm.Result result = ChildJvm.run(Driver.class, "serial");
        assertEquals(0, result.exitCode, result::toString);
        assertEquals("", result.stderr);
        String[] calls = result.stdout.split(Pattern.quote(MARKER), -1);
        assertEquals(MODELS * SELECTORS.length + 1, calls.length, result::toString);
        assertEquals("", calls[calls.length - 1], "nothing after the last marker");

        serialLines = new List[MODELS][SELECTORS.length];
        for (int i = 0; i < MODELS; ++i) {
            for (int s = 0; s < SELECTORS.length; ++s) {
                String text = calls[i * SELECTORS.length + s];
                String where = "model " + i + ", selector " + SELECTORS[s] + ":\n" + text;
                int selector = SELECTORS[s] & 0xFFFF;
                if (selector == 2) {
                    assertTrue(text.endsWith("\n" + NOTICE), where);
                    text = text.substring(0, text.length() - NOTICE.length());
                }
                assertTrue(text.endsWith("\n"), where);
                List<String> lines = Arrays.asList(text.substring(0, text.length() - 1).split("\n", -1));
                List<String> expectedEcho = echo(models[i]);
                assertEquals(expectedEcho, lines.subList(0, expectedEcho.size()), where);
                assertEquals("Constructing initial basis...", lines.get(expectedEcho.size()), where);
                double optimum = models[i].optimum;
                if (selector == 0) {
                    assertTrue(lines.contains("OPTIMAL LP SOLUTION FOUND"), where);
                    assertEquals(optimum, lastObjective(lines, SIMPLEX_LINE), 1e-9 * Math.max(1, Math.abs(optimum)),
                            where);
                } else if (selector == 1) {
                    assertTrue(lines.contains("OPTIMAL SOLUTION FOUND"), where);
                    assertEquals(optimum, lastObjective(lines, INTERIOR_LINE), 1e-6 * Math.max(1, Math.abs(optimum)),
                            where);
                } else {
                    assertTrue(lines.stream().noneMatch(l -> l.contains("OPTIMAL") || l.contains("Optimizer")),
                            where);
                }
                serialLines[i][s] = lines;
            }
        }
    }

    @Test
    void eightThreadsWriteWholeLinesAndReachEveryOptimum() {
        ChildJvm.Result result = ChildJvm.run(Driver.class, "parallel");
        assertEquals(0, result.exitCode, result::toString);
        assertEquals("", result.stderr);

        Map<String, Integer> expected = new HashMap<>();
        int calls = 0, notices = 0;
        for (int t = 0; t < THREADS; ++t) {
            for (int[] call : plan(t)) {
                ++calls;
                if ((SELECTORS[call[1]] & 0xFFFF) == 2) ++notices;
                for (String line : serialLines[call[0]][call[1]])
                    expected.merge(line, 1, Integer::sum);
            }
        }

        // The marker and the notice end without a line end, so another call's text may follow
        // them on their line: take them off the front of each line before looking at the rest.
        String[] pieces = result.stdout.split("\n", -1);
        int markers = 0, noticesSeen = 0;
        List<String> lines = new ArrayList<>();
        for (int p = 0; p < pieces.length; ++p) {
            String rest = pieces[p];
            while (true) {
                if (rest.startsWith(MARKER)) {
                    ++markers;
                    rest = rest.substring(MARKER.length());
                } else if (rest.startsWith(NOTICE)) {
                    ++noticesSeen;
                    rest = rest.substring(NOTICE.length());
                } else {
                    break;
                }
            }
            if (p == pieces.length - 1) assertEquals("", rest, "only markers and notices after the last line end");
            else lines.add(rest);
        }
        assertEquals(calls, markers, "one closing marker per call");
        assertEquals(notices, noticesSeen, "one notice per selector-2 call");

        Map<String, Integer> actual = new HashMap<>();
        for (String line : lines)
            actual.merge(line, 1, Integer::sum);
        if (!actual.equals(expected)) {
            StringBuilder diff = new StringBuilder();
            Set<String> keys = new HashSet<>(expected.keySet());
            keys.addAll(actual.keySet());
            for (String key : keys) {
                int e = expected.getOrDefault(key, 0), a = actual.getOrDefault(key, 0);
                if (e != a && diff.length() < 4000)
                    diff.append("expected ").append(e).append(", got ").append(a).append(": ").append(key).append('\n');
            }
            fail("the concurrent run's lines differ from the serial run's:\n" + diff);
        }

        // Every echo is one unbroken block: an echo line starts a block or lies inside one.
        List<List<String>> echoes = new ArrayList<>();
        for (Model m : models)
            echoes.add(echo(m));
        for (int k = 0; k < lines.size();) {
            if (!ECHO_LINE.matcher(lines.get(k)).matches()) {
                ++k;
                continue;
            }
            int at = k;
            List<String> block = echoes.stream()
                    .filter(e -> at + e.size() <= lines.size() && lines.subList(at, at + e.size()).equals(e))
                    .findFirst()
                    .orElse(null);
            if (block == null) fail("echo broken up at output line " + k + ": " + lines.get(k));
            k += block.size();
        }
    }
}
