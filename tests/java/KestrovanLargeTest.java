import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.util.Arrays;
import java.util.regex.Matcher;
import java.util.regex.Pattern;

import org.junit.jupiter.api.Test;

/**
 * Counts far beyond 16 bits: 100,000 rows, 100,000 columns and 300,000 entries. Also shows that
 * the call never writes into the caller's arrays: a value another thread stores during the call
 * is still there afterwards.
 */
class KestrovanLargeTest {

    static final int N = 100_000;

    /** The one value column j may take. */
    static double pinned(int j) {
        return j % 7;
    }

    static double cost(int j) {
        return 1 + j % 3;
    }

    /**
     * Every column fixed at pinned(j), with cost(j); row i holds columns i, i+1 and i+2 (mod N)
     * and is an equality at their sum (odd i) or bounded above by the sum plus one (even i). The
     * fixed point is the only feasible one, so the optimum is the sum of cost(j) pinned(j); a row or
     * column lost or shifted on the way makes the model infeasible or changes the optimum. ub has
     * one element past the count, which the call ignores.
     */
    static LpCall pinnedModel(int selector) {
        double[] obj = new double[N];
        int[] ai = new int[3 * N];
        int[] aj = new int[3 * N];
        double[] amatrix = new double[3 * N];
        double[] rhs = new double[N];
        byte[] type = new byte[N];
        double[] lb = new double[N];
        double[] ub = new double[N + 1];
        for (int j = 0; j < N; j++) {
            obj[j] = cost(j);
            lb[j] = pinned(j);
            ub[j] = pinned(j);
        }
        Arrays.fill(amatrix, 1);
        for (int i = 0; i < N; i++) {
            double activity = 0;
            for (int r = 0; r < 3; r++) {
                ai[3 * i + r] = i;
                aj[3 * i + r] = (i + r) % N;
                activity += pinned((i + r) % N);
            }
            type[i] = (byte) (i % 2 == 0 ? 1 : 0);
            rhs[i] = i % 2 == 0 ? activity + 1 : activity;
        }
        return new LpCall(new int[] {selector}, obj, ai, aj, amatrix, rhs, type, lb, ub);
    }

    static double pinnedOptimum() {
        double sum = 0;
        for (int j = 0; j < N; j++) sum += cost(j) * pinned(j);
        return sum;
    }

    static final double WRITTEN_DURING_CALL = 42.5;

    /**
     * Child JVM: one call with the selector given. For selector 3 another thread stores a value
     * in ub's extra element while the call runs (the call takes far longer than the 50 ms wait).
     */
    public static final class Child {
        public static void main(String[] args) throws Exception {
            int selector = Integer.parseInt(args[0]);
            LpCall call = pinnedModel(selector);
            LpCall expected = call.copy();
            Thread writer = null;
            if (selector == 3) {
                expected.ub[N] = WRITTEN_DURING_CALL;
                writer = new Thread(() -> {
                    try {
                        Thread.sleep(50);
                    } catch (InterruptedException e) {
                        Thread.currentThread().interrupt();
                    }
                    call.ub[N] = WRITTEN_DURING_CALL;
                });
                writer.start();
            }
            long start = System.nanoTime();
            call.run();
            long millis = (System.nanoTime() - start) / 1_000_000;
            if (writer != null) writer.join();
            System.out.print("\nDIFF " + call.differencesFrom(expected) + "\nMILLIS " + millis + "\n");
            System.out.flush();
        }
    }

    private static final Pattern TRAILER = Pattern.compile("\nDIFF \\[(.*)\\]\nMILLIS (\\d+)\n\\z");

    /** Runs the child; returns the call's text after checking the trailer. */
    static String runCall(int selector) {
        ChildJvm.Result child = ChildJvm.run(KestrovanLargeTest.Child.class, String.valueOf(selector));
        String out = child.stdout;
        String brief = "exit " + child.exitCode + "\n--- stdout tail ---\n"
                + out.substring(Math.max(0, out.length() - 3000)) + "\n--- stderr ---\n" + child.stderr;
        assertEquals(0, child.exitCode, brief);
        assertFalse(child.stderr.contains("WARNING"), brief);
        Matcher m = TRAILER.matcher(out);
        assertTrue(m.find(), brief);
        assertEquals("", m.group(1), "arrays changed by the call (or a write during the call was lost)");
        System.out.println("selector " + selector + ": a call with " + N + " rows, " + N + " columns and "
                + 3 * N + " entries took " + m.group(2) + " ms");
        return out.substring(0, m.start());
    }

    static int countLinesStartingWith(String text, String prefix) {
        int n = text.startsWith(prefix) ? 1 : 0;
        return n + LpCall.count(text, "\n" + prefix);
    }

    @Test
    void echoesEveryElementAndBuildsTheBasisBeyond16Bits() {
        String out = runCall(3);
        assertEquals(N, countLinesStartingWith(out, "OBJ"));
        assertEquals(3 * N, countLinesStartingWith(out, "Ai: "));
        assertEquals(N, countLinesStartingWith(out, "RHS"));
        assertEquals(N, countLinesStartingWith(out, "LB"));
        assertEquals(N, countLinesStartingWith(out, "UB"));
        assertEquals(N, countLinesStartingWith(out, "Type"));
        // Column 99999 is pinned at 99999 % 7 = 4 with cost 1 + 99999 % 3 = 1; row 0 sums
        // columns 0, 1, 2 (0 + 1 + 2, plus one); row 99999 is an equality.
        assertTrue(out.startsWith("OBJ0: 1\nOBJ1: 2\nOBJ2: 3\n"));
        assertTrue(out.contains("\nOBJ99999: 1\nAi: 1   Aj: 1   Amatrix0: 1\n"));
        assertTrue(out.contains("\nAi: 100000   Aj: 2   Amatrix299999: 1\nRHS0: 4\n"));
        assertTrue(out.contains("\nLB99999: 4\nUB99999: 4\nType0: 1\n"));
        assertTrue(out.contains("\nType99998: 1\nType99999: 0\nConstructing initial basis...\n"),
                () -> out.substring(out.length() - 2000));
        assertTrue(out.endsWith(LpCall.MARKER), () -> out.substring(out.length() - 2000));
        assertEquals(1, LpCall.count(out, LpCall.MARKER));
    }

    @Test
    void simplexSolvesItToItsOnlyFeasiblePoint() {
        String out = runCall(0);
        assertTrue(out.contains("GLPK Simplex Optimizer 5.0\n100000 rows, 100000 columns, 300000 non-zeros\n"),
                () -> out.substring(out.length() - 2000));
        assertTrue(out.endsWith("OPTIMAL LP SOLUTION FOUND\n" + LpCall.MARKER), () -> out.substring(out.length() - 2000));
        assertEquals(pinnedOptimum(), LpCall.simplexOptimum(out), 1e-6);
    }
}
