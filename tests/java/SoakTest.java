import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.IOException;
import java.io.UncheckedIOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.Map;

import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

/**
 * Many calls on one JVM, then many short-lived threads making one call each: the resident
 * memory of the process must stay flat after warm-up. The calls cycle through every road a call
 * can take (both methods, the notice, no method, refused input, a GLPK error, an empty problem),
 * so memory kept by any of them would add up. The figures are printed; the test fails only on
 * clear growth, more than a tenth of the resident memory after warm-up.
 */
class SoakTest {

    /** One kind of call; run() makes it and reports what came back. */
    interface Kind {
        String run();
    }

    static final double INF = Double.POSITIVE_INFINITY;

    /**
     * A feasible model of size n x n: column j costs -(1 + j % 7) and lies in [0, 1 + j % 4];
     * row i limits x[i] + x[i+1] + x[i+2] (type 1) or fixes x[i] + s to 3, with s free
     * (type 0 on every fifth row).
     */
    static Object[] model(int n, int selector) {
        int cols = n + 1;
        double[] obj = new double[cols], lb = new double[cols], ub = new double[cols];
        for (int j = 0; j < n; ++j) {
            obj[j] = -(1 + j % 7);
            ub[j] = 1 + j % 4;
        }
        lb[n] = Double.NEGATIVE_INFINITY;
        ub[n] = INF;
        List<int[]> entries = new ArrayList<>();
        double[] rhs = new double[n];
        byte[] type = new byte[n];
        for (int i = 0; i < n; ++i) {
            if (i % 5 == 0) {
                entries.add(new int[] {i, i});
                entries.add(new int[] {i, n});
                rhs[i] = 3;
                type[i] = 0;
            } else {
                for (int d = 0; d < 3 && i + d < n; ++d)
                    entries.add(new int[] {i, i + d});
                rhs[i] = 4;
                type[i] = 1;
            }
        }
        int[] ai = new int[entries.size()], aj = new int[entries.size()];
        double[] amatrix = new double[entries.size()];
        for (int k = 0; k < ai.length; ++k) {
            ai[k] = entries.get(k)[0];
            aj[k] = entries.get(k)[1];
            amatrix[k] = 1;
        }
        return new Object[] {new int[] {selector}, obj, ai, aj, amatrix, rhs, type, lb, ub};
    }

    static Kind call(Object[] a) {
        return () -> {
            try {
                kestrovan.runGLPK((int[]) a[0], (double[]) a[1], (int[]) a[2], (int[]) a[3], (double[]) a[4],
                        (double[]) a[5], (byte[]) a[6], (double[]) a[7], (double[]) a[8]);
                return "completed";
            } catch (NullPointerException | IllegalArgumentException | kestrovan.GlpkException e) {
                return e.getClass().getSimpleName();
            }
        };
    }

    static List<Kind> kinds() {
        List<Kind> kinds = new ArrayList<>();
        kinds.add(call(model(30, 0)));
        kinds.add(call(model(30, 1)));
        kinds.add(call(model(12, 2)));
        kinds.add(call(model(12, -1)));
        Object[] repeated = model(12, 0);
        ((int[]) repeated[2])[1] = ((int[]) repeated[2])[0];
        ((int[]) repeated[3])[1] = ((int[]) repeated[3])[0];
        kinds.add(call(repeated));
        Object[] nullUb = model(12, 0);
        nullUb[8] = null;
        kinds.add(call(nullUb));
        // A row fixed at -Double.MAX_VALUE: GLPK's interior-point presolver stops on an assertion.
        kinds.add(call(new Object[] {new int[] {1}, new double[0], new int[0], new int[0], new double[0],
            new double[] {-Double.MAX_VALUE}, new byte[] {0}, new double[0], new double[0]}));
        kinds.add(call(new Object[] {new int[] {0}, new double[0], new int[0], new int[0], new double[0],
            new double[0], new byte[0], new double[0], new double[0]}));
        return kinds;
    }

    static final String[] EXPECTED = {"completed", "completed", "completed", "completed",
        "IllegalArgumentException", "NullPointerException", "GlpkException", "completed"};

    static long residentKb() {
        try {
            for (String line : Files.readAllLines(Path.of("/proc/self/status"), StandardCharsets.US_ASCII))
                if (line.startsWith("VmRSS:")) return Long.parseLong(line.replaceAll("[^0-9]", ""));
        } catch (IOException e) {
            throw new UncheckedIOException(e);
        }
        throw new IllegalStateException("no VmRSS in /proc/self/status");
    }

    /**
     * Child JVM: warms up, then makes CALLS calls on one thread and starts THREADS threads that
     * make one call each (ten at a time). Writes key=value figures to REPORT; a call with the wrong
     * outcome is written to standard error and ends the run with exit code 1. The full soak, by hand:
     * java -Xms64m -Xmx64m -XX:+AlwaysPreTouch -XX:+UseSerialGC -Dkestrovan.library=LIB
     *      -cp TESTS_JAR:KESTROVAN_JAR SoakTest\$Driver 100000 1000 report.txt &gt;/dev/null
     */
    public static final class Driver {
        static final int WARM_UP_CALLS = 4000;
        static final int WARM_UP_THREADS = 100;

        public static void main(String[] args) throws Exception {
            int calls = Integer.parseInt(args[0]);
            int threads = Integer.parseInt(args[1]);
            Path report = Path.of(args[2]);
            List<Kind> kinds = kinds();
            StringBuilder figures = new StringBuilder();
            figures.append("rss_kb_start=").append(residentKb()).append('\n');

            long started = System.nanoTime();
            callsOnThisThread(kinds, WARM_UP_CALLS);
            oneCallThreads(kinds, WARM_UP_THREADS);
            System.gc();
            figures.append("rss_kb_after_warm_up=").append(residentKb()).append('\n');

            long t0 = System.nanoTime();
            int step = Math.max(1, calls / 10);
            for (int done = 0; done < calls; done += step) {
                callsOnThisThread(kinds, Math.min(step, calls - done));
                figures.append("rss_kb_after_calls_").append(Math.min(done + step, calls)).append('=')
                        .append(residentKb()).append('\n');
            }
            long t1 = System.nanoTime();
            oneCallThreads(kinds, threads);
            long t2 = System.nanoTime();
            System.gc();
            figures.append("rss_kb_after_threads=").append(residentKb()).append('\n');
            figures.append("calls=").append(calls).append('\n');
            figures.append("completed=").append(COMPLETED.get()).append('\n');
            figures.append("calls_seconds=").append(String.format("%.1f", (t1 - t0) / 1e9)).append('\n');
            figures.append("threads=").append(threads).append('\n');
            figures.append("threads_seconds=").append(String.format("%.1f", (t2 - t1) / 1e9)).append('\n');
            figures.append("total_seconds=").append(String.format("%.1f", (t2 - started) / 1e9)).append('\n');
            Files.writeString(report, figures, StandardCharsets.UTF_8);
        }

        static final java.util.concurrent.atomic.AtomicLong COMPLETED = new java.util.concurrent.atomic.AtomicLong();

        static void check(int k, String outcome) {
            if (outcome.equals("completed")) COMPLETED.incrementAndGet();
            if (!outcome.equals(EXPECTED[k])) {
                System.err.println("call kind " + k + ": expected " + EXPECTED[k] + " but got " + outcome);
                System.exit(1);
            }
        }

        static void callsOnThisThread(List<Kind> kinds, int calls) {
            for (int c = 0; c < calls; ++c) {
                int k = c % kinds.size();
                check(k, kinds.get(k).run());
            }
        }

        static void oneCallThreads(List<Kind> kinds, int threads) throws InterruptedException {
            for (int started = 0; started < threads; started += 10) {
                List<Thread> batch = new ArrayList<>();
                for (int t = started; t < Math.min(started + 10, threads); ++t) {
                    int k = t % kinds.size();
                    Thread thread = new Thread(() -> check(k, kinds.get(k).run()));
                    batch.add(thread);
                    thread.start();
                }
                for (Thread thread : batch)
                    thread.join();
            }
        }
    }

    static Map<String, String> readReport(Path report) throws IOException {
        Map<String, String> figures = new java.util.LinkedHashMap<>();
        for (String line : Files.readAllLines(report, StandardCharsets.UTF_8)) {
            String[] kv = line.split("=", 2);
            figures.put(kv[0], kv[1]);
        }
        return figures;
    }

    @Test
    void residentMemoryStaysFlatOverManyCallsAndShortLivedThreads(@TempDir Path dir) throws IOException {
        int calls = 20000, threads = 1000;
        Path stdout = dir.resolve("stdout.txt"), report = dir.resolve("report.txt");
        RedirectedChildJvm.Result result = RedirectedChildJvm.run(Driver.class,
                List.of(Integer.toString(calls), Integer.toString(threads), report.toString()), stdout, 900,
                "-Xms64m", "-Xmx64m", "-XX:+AlwaysPreTouch", "-XX:+UseSerialGC");
        assertEquals(0, result.exitCode, result::toString);
        assertEquals("", result.stderr, "no JNI warning or other complaint on standard error");
        Map<String, String> figures = readReport(report);
        System.out.println("soak figures: " + figures);

        long completed = Long.parseLong(figures.get("completed"));
        assertTrue(completed > calls / 2, figures::toString);
        assertEquals(completed, RedirectedChildJvm.countOccurrences(stdout, "aqui????"));

        long base = Long.parseLong(figures.get("rss_kb_after_warm_up"));
        for (var e : figures.entrySet()) {
            if (!e.getKey().startsWith("rss_kb_after_") || e.getKey().equals("rss_kb_after_warm_up")) continue;
            long now = Long.parseLong(e.getValue());
            assertTrue(now <= base + base / 10,
                    e.getKey() + " = " + now + " kB, more than 10 % above " + base + " kB after warm-up: " + figures);
        }
    }
}
