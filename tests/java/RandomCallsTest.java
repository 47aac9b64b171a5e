import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.IOException;
import java.io.UncheckedIOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.HashMap;
import java.util.HashSet;
import java.util.List;
import java.util.Map;
import java.util.Random;
import java.util.Set;
import java.util.concurrent.atomic.AtomicLong;

import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

/**
 * Thousands of calls with random arrays, valid and broken in every way a caller can break them,
 * from several threads of one child JVM run with -Xcheck:jni. Every call must either complete or
 * throw one of the documented exceptions, and the one its input calls for; no call may change the
 * caller's arrays; the JVM must exit normally without a JNI warning; and every completed call must
 * have written its closing marker.
 */
class RandomCallsTest {

    /** What a generated call must lead to. */
    enum Expect {
        COMPLETES_OR_GLPK_ERROR, NULL_POINTER, ILLEGAL_ARGUMENT
    }

    /** The nine arguments of one call, any of them possibly null. */
    static final class Args {
        int[] method;
        double[] obj;
        int[] ai;
        int[] aj;
        double[] amatrix;
        double[] rhs;
        byte[] type;
        double[] lb;
        double[] ub;
        Expect expect = Expect.COMPLETES_OR_GLPK_ERROR;
        String mutation = "valid";

        Object[] all() {
            return new Object[] {method, obj, ai, aj, amatrix, rhs, type, lb, ub};
        }

        void set(int k, Object value) {
            switch (k) {
                case 0 -> method = (int[]) value;
                case 1 -> obj = (double[]) value;
                case 2 -> ai = (int[]) value;
                case 3 -> aj = (int[]) value;
                case 4 -> amatrix = (double[]) value;
                case 5 -> rhs = (double[]) value;
                case 6 -> type = (byte[]) value;
                case 7 -> lb = (double[]) value;
                default -> ub = (double[]) value;
            }
        }

        Object[] deepCopy() {
            Object[] copy = all();
            for (int k = 0; k < copy.length; ++k) {
                Object a = copy[k];
                if (a instanceof int[] v) copy[k] = v.clone();
                else if (a instanceof double[] v) copy[k] = v.clone();
                else if (a instanceof byte[] v) copy[k] = v.clone();
            }
            return copy;
        }

        /** Null when every array equals its copy bit for bit, else the name of the first that does not. */
        String firstChanged(Object[] before) {
            Object[] now = all();
            String[] names = {"method", "obj", "ai", "aj", "amatrix", "rhs", "type", "lb", "ub"};
            for (int k = 0; k < now.length; ++k) {
                if (now[k] instanceof double[] v) {
                    double[] w = (double[]) before[k];
                    if (v.length != w.length) return names[k];
                    for (int i = 0; i < v.length; ++i)
                        if (Double.doubleToRawLongBits(v[i]) != Double.doubleToRawLongBits(w[i])) return names[k];
                } else if (now[k] instanceof int[] v) {
                    if (!java.util.Arrays.equals(v, (int[]) before[k])) return names[k];
                } else if (now[k] instanceof byte[] v) {
                    if (!java.util.Arrays.equals(v, (byte[]) before[k])) return names[k];
                }
            }
            return null;
        }

        void call() {
            kestrovan.runGLPK(method, obj, ai, aj, amatrix, rhs, type, lb, ub);
        }
    }

    static final int[] SELECTORS = {0, 1, 2, 3, 65535, 65536, 65537, 65538, -1, Integer.MIN_VALUE, 7};
    static final byte[] TYPES = {0, 1, -1, 5, 127, -128};

    /** A small random linear program, then at most one way of breaking it. */
    static Args generate(Random r) {
        Args a = new Args();
        int n = r.nextInt(7);
        int m = r.nextInt(6);
        int selector = r.nextInt(4) == 0 ? r.nextInt() : SELECTORS[r.nextInt(SELECTORS.length)];
        a.method = new int[1 + r.nextInt(3)];
        a.method[0] = selector;
        a.obj = new double[n];
        a.lb = new double[n];
        a.ub = new double[n];
        for (int j = 0; j < n; ++j) {
            a.obj[j] = r.nextInt(21) - 10 + (r.nextBoolean() ? 0 : r.nextDouble());
            switch (r.nextInt(5)) {
                case 0 -> { a.lb[j] = Double.NEGATIVE_INFINITY; a.ub[j] = Double.POSITIVE_INFINITY; }
                case 1 -> { a.lb[j] = -r.nextInt(5); a.ub[j] = Double.POSITIVE_INFINITY; }
                case 2 -> { a.lb[j] = Double.NEGATIVE_INFINITY; a.ub[j] = r.nextInt(5); }
                case 3 -> { a.lb[j] = r.nextInt(3); a.ub[j] = a.lb[j]; }
                default -> { a.lb[j] = r.nextInt(3); a.ub[j] = a.lb[j] + 1 + r.nextInt(10); }
            }
        }
        a.rhs = new double[m];
        a.type = new byte[m];
        for (int i = 0; i < m; ++i) {
            a.type[i] = TYPES[r.nextInt(TYPES.length)];
            a.rhs[i] = a.type[i] != 0 && r.nextInt(8) == 0 ? Double.POSITIVE_INFINITY : r.nextInt(30) - 5;
        }
        List<int[]> positions = new ArrayList<>();
        for (int i = 0; i < m; ++i)
            for (int j = 0; j < n; ++j)
                if (r.nextInt(3) != 0) positions.add(new int[] {i, j});
        java.util.Collections.shuffle(positions, r);
        int nnz = positions.size();
        a.ai = new int[nnz];
        a.aj = new int[nnz];
        a.amatrix = new double[nnz];
        for (int k = 0; k < nnz; ++k) {
            a.ai[k] = positions.get(k)[0];
            a.aj[k] = positions.get(k)[1];
            a.amatrix[k] = r.nextInt(2) == 0 ? r.nextInt(11) - 5 : r.nextGaussian() * 4;
        }
        if (r.nextInt(4) == 0) lengthen(a, r);
        if (r.nextInt(5) < 3) breakIt(a, r);
        return a;
    }

    /** Extra elements past the counts, holding values that would be refused if they were read. */
    static void lengthen(Args a, Random r) {
        int extra = 1 + r.nextInt(3);
        a.aj = java.util.Arrays.copyOf(a.aj, a.aj.length + extra);
        a.aj[a.aj.length - 1] = -7;
        a.amatrix = java.util.Arrays.copyOf(a.amatrix, a.amatrix.length + extra);
        a.amatrix[a.amatrix.length - 1] = Double.NaN;
        a.type = java.util.Arrays.copyOf(a.type, a.type.length + extra);
        a.lb = java.util.Arrays.copyOf(a.lb, a.lb.length + extra);
        a.lb[a.lb.length - 1] = Double.POSITIVE_INFINITY;
        a.ub = java.util.Arrays.copyOf(a.ub, a.ub.length + extra);
        a.ub[a.ub.length - 1] = Double.NaN;
    }

    static void breakIt(Args a, Random r) {
        int n = a.obj.length, m = a.rhs.length, nnz = a.ai.length;
        switch (r.nextInt(10)) {
            case 0 -> {
                int k = r.nextInt(9);
                a.set(k, null);
                a.mutation = "null argument " + k;
                a.expect = Expect.NULL_POINTER;
            }
            case 1 -> {
                a.method = new int[0];
                a.mutation = "empty method";
                a.expect = Expect.ILLEGAL_ARGUMENT;
            }
            case 2 -> shorten(a, r);
            case 3 -> {
                if (nnz == 0) return;
                int k = r.nextInt(nnz);
                boolean row = r.nextBoolean();
                int count = row ? m : n;
                int[] bad = {-1, -2, Integer.MIN_VALUE, Integer.MAX_VALUE, count, count + 3, 65535};
                (row ? a.ai : a.aj)[k] = bad[r.nextInt(bad.length)];
                a.mutation = "index out of range";
                a.expect = Expect.ILLEGAL_ARGUMENT;
            }
            case 4 -> {
                if (nnz < 2) return;
                int from = r.nextInt(nnz), to = (from + 1 + r.nextInt(nnz - 1)) % nnz;
                a.ai[to] = a.ai[from];
                a.aj[to] = a.aj[from];
                a.amatrix[to] = r.nextBoolean() ? 0.0 : a.amatrix[to];
                a.mutation = "repeated position";
                a.expect = Expect.ILLEGAL_ARGUMENT;
            }
            case 5 -> {
                double[][] withCounts = {a.obj, a.amatrix, a.rhs, a.lb, a.ub};
                int[] counts = {n, nnz, m, n, n};
                int which = r.nextInt(withCounts.length);
                if (counts[which] == 0) return;
                withCounts[which][r.nextInt(counts[which])] = r.nextBoolean() ? Double.NaN : -Double.NaN;
                a.mutation = "NaN";
                a.expect = Expect.ILLEGAL_ARGUMENT;
            }
            case 6 -> {
                int which = r.nextInt(4);
                if (which == 0 && n > 0) a.obj[r.nextInt(n)] = Double.NEGATIVE_INFINITY;
                else if (which == 1 && nnz > 0) a.amatrix[r.nextInt(nnz)] = Double.POSITIVE_INFINITY;
                else if (which == 2 && n > 0) a.lb[r.nextInt(n)] = Double.POSITIVE_INFINITY;
                else if (which == 3 && n > 0) a.ub[r.nextInt(n)] = Double.NEGATIVE_INFINITY;
                else return;
                a.mutation = "infinity where none may be";
                a.expect = Expect.ILLEGAL_ARGUMENT;
            }
            case 7 -> {
                if (m == 0) return;
                int i = r.nextInt(m);
                a.type[i] = 0;
                a.rhs[i] = r.nextBoolean() ? Double.POSITIVE_INFINITY : Double.NEGATIVE_INFINITY;
                a.mutation = "equality row with infinite right-hand side";
                a.expect = Expect.ILLEGAL_ARGUMENT;
            }
            case 8 -> {
                // GLPK's interior-point presolver stops on an assertion for a row fixed at
                // -Double.MAX_VALUE: the road of a fatal GLPK error.
                if (m == 0) return;
                a.method[0] = r.nextBoolean() ? 1 : 65537;
                int i = r.nextInt(m);
                a.type[i] = 0;
                a.rhs[i] = -Double.MAX_VALUE;
                a.mutation = "row fixed at -Double.MAX_VALUE, interior point";
            }
            default -> {
                a.obj = new double[0];
                a.ai = new int[0];
                a.rhs = new double[0];
                a.mutation = "no rows, columns or entries";
            }
        }
    }

    static void shorten(Args a, Random r) {
        int n = a.obj.length, m = a.rhs.length, nnz = a.ai.length;
        int which = r.nextInt(5);
        if (which == 0 && nnz > 0) a.aj = java.util.Arrays.copyOf(a.aj, r.nextInt(nnz));
        else if (which == 1 && nnz > 0) a.amatrix = java.util.Arrays.copyOf(a.amatrix, r.nextInt(nnz));
        else if (which == 2 && m > 0) a.type = java.util.Arrays.copyOf(a.type, r.nextInt(m));
        else if (which == 3 && n > 0) a.lb = java.util.Arrays.copyOf(a.lb, r.nextInt(n));
        else if (which == 4 && n > 0) a.ub = java.util.Arrays.copyOf(a.ub, r.nextInt(n));
        else return;
        a.mutation = "array shorter than its count";
        a.expect = Expect.ILLEGAL_ARGUMENT;
    }

    /**
     * Child JVM: THREADS threads make CALLS calls each, seeded from SEED, and the counts go to
     * REPORT as key=value lines. Any breach goes to standard error and the exit code is 1.
     */
    public static final class Driver {
        public static void main(String[] args) throws Exception {
            int threads = Integer.parseInt(args[0]);
            int calls = Integer.parseInt(args[1]);
            long seed = Long.parseLong(args[2]);
            Path report = Path.of(args[3]);
            Map<String, AtomicLong> counts = new HashMap<>();
            for (String key : new String[] {"completed", "npe", "iae", "glpk"})
                counts.put(key, new AtomicLong());
            List<String> breaches = java.util.Collections.synchronizedList(new ArrayList<>());
            List<Thread> workers = new ArrayList<>();
            for (int t = 0; t < threads; ++t) {
                Random random = new Random(seed * 1000 + t);
                Thread worker = new Thread(() -> {
                    for (int c = 0; c < calls && breaches.size() < 20; ++c) {
                        String breach = oneCall(generate(random), counts);
                        if (breach != null) breaches.add(breach);
                    }
                });
                workers.add(worker);
                worker.start();
            }
            for (Thread worker : workers)
                worker.join();
            StringBuilder text = new StringBuilder();
            for (var e : counts.entrySet())
                text.append(e.getKey()).append('=').append(e.getValue().get()).append('\n');
            Files.writeString(report, text, StandardCharsets.UTF_8);
            if (!breaches.isEmpty()) {
                breaches.forEach(System.err::println);
                System.exit(1);
            }
        }

        static String oneCall(Args a, Map<String, AtomicLong> counts) {
            Object[] before = a.deepCopy();
            String outcome;
            Throwable thrown = null;
            try {
                a.call();
                outcome = "completed";
            } catch (NullPointerException e) {
                outcome = "npe";
                thrown = e;
            } catch (IllegalArgumentException e) {
                outcome = "iae";
                thrown = e;
            } catch (kestrovan.GlpkException e) {
                outcome = "glpk";
                thrown = e;
            } catch (Throwable e) {
                return a.mutation + ": unexpected " + e;
            }
            counts.get(outcome).incrementAndGet();
            String changed = a.firstChanged(before);
            if (changed != null) return a.mutation + ": the call changed " + changed;
            int low16 = a.method != null && a.method.length > 0 ? a.method[0] & 0xFFFF : -1;
            boolean allowed = switch (a.expect) {
                case NULL_POINTER -> outcome.equals("npe");
                case ILLEGAL_ARGUMENT -> outcome.equals("iae");
                case COMPLETES_OR_GLPK_ERROR -> outcome.equals("completed")
                        || (outcome.equals("glpk") && (low16 == 0 || low16 == 1));
            };
            if (!allowed) return a.mutation + ": expected " + a.expect + " but got " + outcome + " " + thrown;
            if (thrown != null && (thrown.getMessage() == null || thrown.getMessage().isEmpty()))
                return a.mutation + ": exception without a message: " + thrown;
            return null;
        }
    }

    static Map<String, Long> readReport(Path report) {
        Map<String, Long> counts = new HashMap<>();
        try {
            for (String line : Files.readAllLines(report, StandardCharsets.UTF_8)) {
                String[] kv = line.split("=", 2);
                counts.put(kv[0], Long.parseLong(kv[1]));
            }
        } catch (IOException e) {
            throw new UncheckedIOException(e);
        }
        return counts;
    }

    @Test
    void randomCallsFromFourThreadsCompleteOrThrowWhatTheirInputCallsFor(@TempDir Path dir) {
        int threads = 4, calls = 1500;
        Path stdout = dir.resolve("stdout.txt"), report = dir.resolve("report.txt");
        RedirectedChildJvm.Result result = RedirectedChildJvm.run(Driver.class,
                List.of(Integer.toString(threads), Integer.toString(calls), "20261211", report.toString()),
                stdout, 600);
        assertEquals(0, result.exitCode, result::toString);
        assertEquals("", result.stderr, "no JNI warning or other complaint on standard error");
        Map<String, Long> counts = readReport(report);
        long completed = counts.get("completed");
        assertEquals((long) threads * calls, completed + counts.get("npe") + counts.get("iae") + counts.get("glpk"),
                counts::toString);
        // Each kind of outcome must really have been exercised.
        Set<String> seen = new HashSet<>();
        counts.forEach((k, v) -> { if (v > 0) seen.add(k); });
        assertTrue(seen.containsAll(Set.of("completed", "npe", "iae", "glpk")), counts::toString);
        assertTrue(completed > threads * calls / 4, counts::toString);
        assertEquals(completed, RedirectedChildJvm.countOccurrences(stdout, "aqui????"),
                "one closing marker for every completed call, none for the others: " + counts);
    }
}
