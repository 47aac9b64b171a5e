import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNotNull;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static org.junit.jupiter.api.Assertions.fail;

import java.math.BigDecimal;
import java.nio.file.Files;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.HashMap;
import java.util.HashSet;
import java.util.List;
import java.util.Map;
import java.util.Set;
import java.util.concurrent.CyclicBarrier;
import java.util.regex.Pattern;

import org.junit.jupiter.api.Test;

/** The echo of a call's input, as a real JVM's standard output receives it. */
class InputEchoTest {

    static final String MARKER = LpCall.MARKER;
    static final String NOTICE = LpCall.NOTICE;

    static LpCall example(int selector) {
        return new LpCall(new int[] {selector}, new double[] {1.5, 2}, new int[] {0, 0}, new int[] {0, 1},
                new double[] {1, 1}, new double[] {10}, new byte[] {0}, new double[] {0, 0},
                new double[] {100, 0.25});
    }

    static final String EXAMPLE_ECHO = "OBJ0: 1.5\n"
            + "OBJ1: 2\n"
            + "Ai: 1   Aj: 1   Amatrix0: 1\n"
            + "Ai: 1   Aj: 2   Amatrix1: 1\n"
            + "RHS0: 10\n"
            + "LB0: 0\n"
            + "UB0: 100\n"
            + "LB1: 0\n"
            + "UB1: 0.25\n"
            + "Type0: 0\n";

    /** Values where a locale, the exponent form or the sign could go wrong; nothing is solved. */
    static LpCall numbers() {
        double inf = Double.POSITIVE_INFINITY;
        return new LpCall(new int[] {3}, new double[] {-0.0, 2e6, 1e-5, 1234567, 0.0001, 123456, 1.0 / 3},
                new int[] {0}, new int[] {6}, new double[] {2.5}, new double[] {-7.25}, new byte[] {-1},
                new double[] {-inf, -1e-300, -2.5, 0, 0, 0, 0}, new double[] {inf, 1e100, 2.5, 1, 1, 1, 1});
    }

    static final String NUMBERS_ECHO = "OBJ0: -0\n"
            + "OBJ1: 2e+06\n"
            + "OBJ2: 1e-05\n"
            + "OBJ3: 1.23457e+06\n"
            + "OBJ4: 0.0001\n"
            + "OBJ5: 123456\n"
            + "OBJ6: 0.333333\n"
            + "Ai: 1   Aj: 7   Amatrix0: 2.5\n"
            + "RHS0: -7.25\n"
            + "LB0: -inf\n"
            + "UB0: inf\n"
            + "LB1: -1e-300\n"
            + "UB1: 1e+100\n"
            + "LB2: -2.5\n"
            + "UB2: 2.5\n"
            + "LB3: 0\nUB3: 1\nLB4: 0\nUB4: 1\nLB5: 0\nUB5: 1\nLB6: 0\nUB6: 1\n"
            + "Type0: 65535\n";

    /** Child JVM: runs the named models in order ("example:SELECTOR" or "numbers"). */
    public static final class RunModels {
        public static void main(String[] args) {
            for (String name : args) {
                if (name.equals("numbers")) {
                    numbers().run();
                } else if (name.startsWith("example:")) {
                    example(Integer.parseInt(name.substring("example:".length()))).run();
                } else {
                    throw new IllegalArgumentException(name);
                }
            }
        }
    }

    @Test
    void exampleEchoIsWrittenFirstByteForByte() {
        ChildJvm.Result result = ChildJvm.run(RunModels.class, "example:3");
        assertEquals(0, result.exitCode, result::toString);
        assertEquals("", result.stderr, result::toString);
        // Selector 3 runs no method: after the echo come only GLPK's basis lines and the marker.
        assertEquals(EXAMPLE_ECHO + "Constructing initial basis...\nSize of triangular part is 1\n" + MARKER,
                result.stdout);
    }

    @Test
    void germanLocaleStillWritesFullStops() {
        String localeDir = System.getenv("KESTROVAN_TEST_LOCPATH");
        assertNotNull(localeDir, "KESTROVAN_TEST_LOCPATH must name the folder where the test setup generated"
                + " de_DE.UTF-8 (ctest fixture locale.de_DE)");
        assertTrue(Files.isDirectory(Paths.get(localeDir, "de_DE.UTF-8")), "de_DE.UTF-8 was not generated in "
                + localeDir);
        ChildJvm.Result result = ChildJvm.run(RunModels.class, List.of("example:0", "numbers"),
                Map.of("LC_ALL", "de_DE.UTF-8", "LOCPATH", localeDir));
        assertEquals(0, result.exitCode, result::toString);
        assertEquals("", result.stderr, result::toString);

        // GLPK formats its report with C's printf, which follows the locale the JVM set from
        // LC_ALL: a decimal comma there proves the child really ran under the German locale.
        assertTrue(Pattern.compile("obj = +1,500000000e\\+01").matcher(result.stdout).find(),
                () -> "GLPK's report shows no German decimal comma, so the child did not run under"
                        + " de_DE.UTF-8:\n" + result);
        assertTrue(result.stdout.startsWith(EXAMPLE_ECHO), result::toString);
        int firstMarker = result.stdout.indexOf(MARKER);
        assertTrue(firstMarker > 0, result::toString);
        assertEquals(MARKER + NUMBERS_ECHO + "Constructing initial basis...\nSize of triangular part is 1\n"
                + MARKER, result.stdout.substring(firstMarker), result::toString);
    }

    // ---- Eight threads at once ----

    static final int THREADS = 8;
    /** Matrix entries of each thread's first calls; the larger echoes span many 64 KiB pieces. */
    static final int[] ENTRIES = {3, 40, 700, 5000, 30000, 70000, 110000, 12};
    static final int SIZED_CALLS = 3;
    /** Then many small calls that run GLPK's methods, so that their reports overlap in time. */
    static final int CALLS_PER_THREAD = SIZED_CALLS + 120;

    static int entries(int thread, int call) {
        return call < SIZED_CALLS ? ENTRIES[thread] : 4 + (call * 7 + thread) % 30;
    }

    static int selector(int thread, int call) {
        if (entries(thread, call) <= 5000) {
            return (thread + call) % 4;  // simplex, interior point, notice, nothing
        }
        return call % 2 == 0 ? 3 : 2;
    }

    /**
     * Call `call` of thread `thread`: a square grid of entries, positive costs, rows bounded above
     * by positive values, so both methods find x = 0 at once. Every value has at most six
     * significant digits, and OBJ0 differs from call to call, so each echo can be found.
     */
    static LpCall concurrentModel(int thread, int call) {
        int entries = entries(thread, call);
        int side = (int) Math.ceil(Math.sqrt(entries));
        double[] obj = new double[side];
        double[] lb = new double[side];
        double[] ub = new double[side];
        for (int j = 0; j < side; j++) {
            obj[j] = j == 0 ? thread * 1000 + call + 1 : 0.5 + (j % 8) / 8.0;
            lb[j] = 0;
            ub[j] = j % 5 == 0 ? Double.POSITIVE_INFINITY : 1 + j % 50;
        }
        double[] rhs = new double[side];
        byte[] type = new byte[side];
        for (int i = 0; i < side; i++) {
            rhs[i] = 10 + i % 100 + call * 0.25;
            type[i] = (byte) (i % 3 == 0 ? -1 : 1 + i % 7);
        }
        int[] ai = new int[entries];
        int[] aj = new int[entries];
        double[] amatrix = new double[entries];
        for (int k = 0; k < entries; k++) {
            ai[k] = k % side;
            aj[k] = k / side;
            amatrix[k] = thread + 1 + (k % 16) / 16.0;
        }
        return new LpCall(new int[] {selector(thread, call)}, obj, ai, aj, amatrix, rhs, type, lb, ub);
    }

    /** The stream's default notation for the values the models above use. */
    static String format(double v) {
        if (Double.isInfinite(v)) {
            return v > 0 ? "inf" : "-inf";
        }
        if (v == 0) {
            return 1 / v < 0 ? "-0" : "0";
        }
        BigDecimal d = BigDecimal.valueOf(v).stripTrailingZeros();
        if (d.precision() > 6 || Math.abs(v) < 1e-4 || Math.abs(v) >= 1e6) {
            throw new IllegalArgumentException("no plain six-digit form: " + v);
        }
        return d.toPlainString();
    }

    /** The echo lines of a model, written out independently of the library. */
    static List<String> expectedEcho(LpCall m) {
        List<String> lines = new ArrayList<>();
        for (int k = 0; k < m.obj.length; k++) {
            lines.add("OBJ" + k + ": " + format(m.obj[k]));
        }
        for (int k = 0; k < m.ai.length; k++) {
            lines.add("Ai: " + (m.ai[k] + 1) + "   Aj: " + (m.aj[k] + 1) + "   Amatrix" + k + ": "
                    + format(m.amatrix[k]));
        }
        for (int k = 0; k < m.rhs.length; k++) {
            lines.add("RHS" + k + ": " + format(m.rhs[k]));
        }
        for (int k = 0; k < m.obj.length; k++) {
            lines.add("LB" + k + ": " + format(m.lb[k]));
            lines.add("UB" + k + ": " + format(m.ub[k]));
        }
        for (int k = 0; k < m.rhs.length; k++) {
            lines.add("Type" + k + ": " + (m.type[k] & 0xFFFF));
        }
        return lines;
    }

    /** Child JVM: every thread's calls, either all at once ("concurrent") or one by one ("serial"). */
    public static final class ConcurrentEchoes {
        public static void main(String[] args) throws Exception {
            if (args[0].equals("serial")) {
                for (int t = 0; t < THREADS; t++) {
                    for (int c = 0; c < CALLS_PER_THREAD; c++) {
                        concurrentModel(t, c).run();
                    }
                }
                return;
            }
            CyclicBarrier start = new CyclicBarrier(THREADS);
            List<Thread> threads = new ArrayList<>();
            List<Throwable> failures = new ArrayList<>();
            for (int t = 0; t < THREADS; t++) {
                final int thread = t;
                List<LpCall> models = new ArrayList<>();
                for (int c = 0; c < CALLS_PER_THREAD; c++) {
                    models.add(concurrentModel(thread, c));
                }
                Thread worker = new Thread(() -> {
                    try {
                        start.await();
                        for (LpCall m : models) {
                            m.run();
                        }
                    } catch (Throwable e) {
                        synchronized (failures) {
                            failures.add(e);
                        }
                    }
                });
                threads.add(worker);
                worker.start();
            }
            for (Thread worker : threads) {
                worker.join();
            }
            if (!failures.isEmpty()) {
                failures.get(0).printStackTrace();
                System.exit(2);
            }
        }
    }

    static final Pattern NUMBER = Pattern.compile("-?(?:inf|nan|\\d+(?:\\.\\d+)?(?:e[+-]\\d{2,3})?)");
    static final Pattern ECHO_LINE = Pattern.compile("(?:OBJ\\d+|RHS\\d+|LB\\d+|UB\\d+): " + NUMBER
            + "|Ai: -?\\d+   Aj: -?\\d+   Amatrix\\d+: " + NUMBER + "|Type\\d+: \\d+");

    /** The lines of a run's output, with markers and notices taken off the front of each and counted. */
    static final class Lines {
        final List<String> lines = new ArrayList<>();
        int markers;
        int notices;

        Lines(String stdout) {
            String[] pieces = stdout.split("\n", -1);
            for (int p = 0; p < pieces.length; p++) {
                String line = pieces[p];
                while (true) {
                    if (line.startsWith(MARKER)) {
                        markers++;
                        line = line.substring(MARKER.length());
                    } else if (line.startsWith(NOTICE)) {
                        notices++;
                        line = line.substring(NOTICE.length());
                    } else {
                        break;
                    }
                }
                boolean last = p == pieces.length - 1;
                if (last) {
                    assertEquals("", line, "text after the last marker");
                } else {
                    lines.add(line);
                }
            }
        }
    }

    static Map<String, Integer> counts(List<String> lines) {
        Map<String, Integer> counts = new HashMap<>();
        for (String line : lines) {
            counts.merge(line, 1, Integer::sum);
        }
        return counts;
    }

    @Test
    void eightThreadsEchoWholeBlocksAndNeverMixWithinALine() {
        ChildJvm.Result serial = ChildJvm.run(ConcurrentEchoes.class, "serial");
        assertEquals(0, serial.exitCode, () -> "serial run: exit " + serial.exitCode + "\n" + serial.stderr);
        assertEquals("", serial.stderr);
        ChildJvm.Result concurrent = ChildJvm.run(ConcurrentEchoes.class, "concurrent");
        assertEquals(0, concurrent.exitCode,
                () -> "concurrent run: exit " + concurrent.exitCode + "\n" + concurrent.stderr);
        assertEquals("", concurrent.stderr);

        // One by one, each call's text is its echo, GLPK's lines, the notice if any, the marker.
        List<List<String>> echoes = new ArrayList<>();
        Set<String> reportLines = new HashSet<>();
        int notices = 0;
        String[] calls = serial.stdout.split(Pattern.quote(MARKER), -1);
        assertEquals(THREADS * CALLS_PER_THREAD + 1, calls.length, "markers in the serial run");
        assertEquals("", calls[calls.length - 1], "text after the last marker of the serial run");
        for (int t = 0, n = 0; t < THREADS; t++) {
            for (int c = 0; c < CALLS_PER_THREAD; c++, n++) {
                List<String> echo = expectedEcho(concurrentModel(t, c));
                String text = calls[n];
                String echoText = String.join("\n", echo) + "\n";
                assertTrue(text.startsWith(echoText), "serial call " + n + " does not start with its echo");
                String rest = text.substring(echoText.length());
                if (selector(t, c) == 2) {
                    assertTrue(rest.endsWith(NOTICE), "serial call " + n + " lacks the notice");
                    rest = rest.substring(0, rest.length() - NOTICE.length());
                    notices++;
                }
                assertTrue(rest.startsWith("Constructing initial basis...\n") && rest.endsWith("\n"),
                        "serial call " + n + ": " + rest);
                reportLines.addAll(Arrays.asList(rest.split("\n")));
                echoes.add(echo);
            }
        }
        Lines expected = new Lines(serial.stdout);

        Lines actual = new Lines(concurrent.stdout);
        assertEquals(THREADS * CALLS_PER_THREAD, actual.markers, "markers");
        assertEquals(notices, actual.notices, "notices");
        for (int i = 0; i < actual.lines.size(); i++) {
            String line = actual.lines.get(i);
            if (!ECHO_LINE.matcher(line).matches() && !reportLines.contains(line)) {
                fail("line " + i + " of the concurrent output is no whole line of any call: \"" + line + "\"");
            }
        }
        assertEquals(counts(expected.lines), counts(actual.lines),
                "the concurrent run wrote other lines than the same calls one by one");

        // Each call's echo is one contiguous block: find its first line, which no other call
        // writes, and compare the whole block from there.
        Map<String, Integer> firstLineAt = new HashMap<>();
        for (int i = 0; i < actual.lines.size(); i++) {
            if (actual.lines.get(i).startsWith("OBJ0: ")) {
                firstLineAt.put(actual.lines.get(i), i);
            }
        }
        for (int n = 0; n < echoes.size(); n++) {
            List<String> echo = echoes.get(n);
            Integer at = firstLineAt.get(echo.get(0));
            assertNotNull(at, "call " + n + ": echo not found");
            assertTrue(at + echo.size() <= actual.lines.size(), "call " + n + ": echo cut short");
            List<String> block = actual.lines.subList(at, at + echo.size());
            for (int k = 0; k < echo.size(); k++) {
                if (!echo.get(k).equals(block.get(k))) {
                    fail("call " + n + ": echo line " + k + " is \"" + block.get(k) + "\", expected \"" + echo.get(k)
                            + "\": another call's text broke into the echo");
                }
            }
        }
    }
}
