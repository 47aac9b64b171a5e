import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.util.ArrayList;
import java.util.List;
import java.util.concurrent.CyclicBarrier;
import java.util.concurrent.atomic.AtomicInteger;
import java.util.regex.Pattern;

import org.junit.jupiter.api.BeforeAll;
import org.junit.jupiter.api.Test;

/**
 * 8 Java threads call at once, many calls each, every call with its own model and optimum.
 * Every call must complete with its own optimum, and no line of the shared output may mix
 * text of two calls.
 */
class KestrovanThreadsTest {

    static final int THREADS = 8;
    static final int CALLS = 160;

    /** Call c of thread t solves the paper model scaled by this, so its optimum is 13 times it. */
    static int scale(int thread, int call) {
        return 1 + thread * CALLS + call;
    }

    /** Calls take turns: simplex, interior point, the notice, nothing. */
    static int selector(int call) {
        return call % 4;
    }

    static int callsWithSelector(int selector) {
        int n = 0;
        for (int c = 0; c < CALLS; c++) if (selector(c) == selector) n++;
        return THREADS * n;
    }

    /** Child JVM: the threads start together and report how many calls threw. */
    public static final class Child {
        public static void main(String[] args) throws Exception {
            CyclicBarrier start = new CyclicBarrier(THREADS);
            AtomicInteger failures = new AtomicInteger();
            List<Thread> threads = new ArrayList<>();
            for (int t = 0; t < THREADS; t++) {
                final int thread = t;
                threads.add(new Thread(() -> {
                    try {
                        start.await();
                        for (int c = 0; c < CALLS; c++) LpCall.paperModel(selector(c), scale(thread, c)).run();
                    } catch (Throwable e) {
                        failures.incrementAndGet();
                        e.printStackTrace();
                    }
                }));
            }
            for (Thread t : threads) t.start();
            for (Thread t : threads) t.join();
            System.out.print("\nTHREADS DONE " + failures.get() + "\n");
            System.out.flush();
        }
    }

    /** Every whole line a call can write: the echo and GLPK's reports of both methods. */
    static final List<Pattern> LINES = List.of(
            Pattern.compile("(OBJ|RHS|LB|UB|Type)\\d+: \\S+"),
            Pattern.compile("Ai: -?\\d+   Aj: -?\\d+   Amatrix\\d+: \\S+"),
            Pattern.compile("Constructing initial basis\\.\\.\\."),
            Pattern.compile("Size of triangular part is \\d+"),
            Pattern.compile("GLPK Simplex Optimizer 5\\.0"),
            Pattern.compile("\\d+ rows, \\d+ columns, \\d+ non-zeros"),
            Pattern.compile("[* ] *\\d+: obj = +\\S+ +inf = +\\S+ \\(\\d+\\)"),
            Pattern.compile("OPTIMAL LP SOLUTION FOUND"),
            Pattern.compile("(Original|Working) LP has \\d+ row\\(s\\), \\d+ column\\(s\\), and \\d+ non-zero\\(s\\)"),
            Pattern.compile("Matrix [AL] has \\d+ non-zeros"),
            Pattern.compile("Matrix S = A\\*A' has \\d+ non-zeros \\(upper triangle\\)"),
            Pattern.compile("Approximate minimum degree ordering \\(AMD\\)\\.\\.\\."),
            Pattern.compile("Computing Cholesky factorization S = L\\*L'\\.\\.\\."),
            Pattern.compile("Guessing initial point\\.\\.\\."),
            Pattern.compile("Optimization begins\\.\\.\\."),
            Pattern.compile(" *\\d+: obj = +\\S+; rpi = +\\S+; rdi = +\\S+; gap = +\\S+"),
            Pattern.compile("OPTIMAL SOLUTION FOUND"));

    static ChildJvm.Result child;
    static String calls;  // the calls' text, without the child's last line
    // The same with the notice and marker at the end of each call replaced by a line end: the next
    // call's first line may follow them directly, as neither ends a line. A notice not followed
    // by its marker is left in place and shows as a mixed line.
    static String lines;

    @BeforeAll
    static void runChild() {
        child = ChildJvm.run(Child.class);
        assertEquals(0, child.exitCode, child::toString);
        String done = "\nTHREADS DONE 0\n";
        assertTrue(child.stdout.endsWith(done), () -> tail(child.stdout) + "\n" + child.stderr);
        calls = child.stdout.substring(0, child.stdout.length() - done.length());
        lines = "\n" + calls.replace(LpCall.NOTICE + LpCall.MARKER, "\n").replace(LpCall.MARKER, "\n");
    }

    static String tail(String text) {
        return text.substring(Math.max(0, text.length() - 4000));
    }

    @Test
    void noJniWarnings() {
        assertFalse(child.stderr.contains("WARNING"), child.stderr);
    }

    @Test
    void everyCallWritesItsMarkerAndItsMethodFinishes() {
        assertEquals(THREADS * CALLS, LpCall.count(calls, LpCall.MARKER));
        assertTrue(calls.endsWith(LpCall.MARKER), () -> tail(calls));
        assertEquals(callsWithSelector(0), wholeLines("OPTIMAL LP SOLUTION FOUND"));
        assertEquals(callsWithSelector(1), wholeLines("OPTIMAL SOLUTION FOUND"));
    }

    // Counted line by line: two calls' last lines may stand next to each other,
    // sharing the line end a substring count would need twice.
    static long wholeLines(String text) {
        return lines.lines().filter(text::equals).count();
    }

    @Test
    void theMarkerFollowsTheNoticeDirectly() {
        assertEquals(callsWithSelector(2), LpCall.count(calls, LpCall.NOTICE));
        assertEquals(callsWithSelector(2), LpCall.count(calls, LpCall.NOTICE + LpCall.MARKER));
    }

    @Test
    void noLineMixesTextOfTwoCalls() {
        for (String line : lines.split("\n", -1)) {
            if (line.isEmpty()) continue;
            assertTrue(LINES.stream().anyMatch(p -> p.matcher(line).matches()), () -> "mixed line: [" + line + "]");
        }
    }

    @Test
    void everyCallEchoesItsModelAndReachesItsOwnOptimum() {
        List<Double> simplex = new ArrayList<>();
        List<Double> interior = new ArrayList<>();
        Pattern simplexLine = Pattern.compile("(?m)^[* ] *\\d+: obj = +([-+0-9.e]+) +inf = ");
        Pattern interiorLine = Pattern.compile("(?m)^ *\\d+: obj = +([-+0-9.e]+); rpi = ");
        simplexLine.matcher(lines).results().forEach(r -> simplex.add(Double.parseDouble(r.group(1))));
        interiorLine.matcher(lines).results().forEach(r -> interior.add(Double.parseDouble(r.group(1))));
        List<String> missing = new ArrayList<>();
        for (int t = 0; t < THREADS; t++) {
            for (int c = 0; c < CALLS; c++) {
                int s = scale(t, c);
                double optimum = LpCall.PAPER_OPTIMUM * s;
                if (!lines.contains("\nOBJ0: -" + s + "\nOBJ1: " + s + "\nOBJ2: " + 4 * s + "\n"))
                    missing.add("thread " + t + " call " + c + ": echo of scale " + s);
                if (selector(c) >= 2) continue;
                List<Double> reported = selector(c) == 0 ? simplex : interior;
                double tolerance = selector(c) == 0 ? 1e-9 * s : 1e-6 * s;
                if (reported.stream().noneMatch(v -> Math.abs(v - optimum) <= tolerance))
                    missing.add("thread " + t + " call " + c + ": optimum " + optimum);
            }
        }
        assertEquals(List.of(), missing);
    }
}
