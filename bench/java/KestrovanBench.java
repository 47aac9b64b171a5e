import java.io.FileWriter;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;

/**
 * Times kestrovan.runGLPK with selector 3 (build and basis, no method). Run it with standard output
 * sent to /dev/null: the call's own text goes there, the figures go to the result file.
 *
 * <pre>
 * KestrovanBench calls ENTRIES WARMUP REPS RESULTS   time of each call on the generated model (ns)
 * KestrovanBench small WARMUP REPS RESULTS           median time of one call on the tiny model (ns)
 * KestrovanBench memory ENTRIES RESULTS              resident memory a first call adds at its peak
 * </pre>
 */
public final class KestrovanBench {
    private static final int[] BUILD_AND_BASIS = {3};

    private KestrovanBench() {
    }

    public static void main(String[] args) throws IOException {
        switch (args[0]) {
            case "calls" -> {
                BenchModel model = BenchModel.generate(Long.parseLong(args[1]));
                long[] times = timeCalls(model, Integer.parseInt(args[2]), Integer.parseInt(args[3]));
                record(args[4], "kestrovan " + model.entries() + " " + Long.toHexString(model.fingerprint()) + " "
                        + BenchModel.join(times));
            }
            case "small" -> {
                long[] times = timeCalls(BenchModel.tiny(), Integer.parseInt(args[1]), Integer.parseInt(args[2]));
                record(args[3], "small " + BenchModel.median(times));
            }
            case "memory" -> {
                BenchModel model = BenchModel.generate(Long.parseLong(args[1]));
                long peak = peakOfFirstCall(model);
                long workingCopy = 24L * (model.obj.length + 1) + 16L * (model.entries() + 1)
                        + 10L * (model.rhs.length + 1);
                record(args[2], "memory " + model.entries() + " " + peak + " " + workingCopy);
            }
            default -> throw new IllegalArgumentException("unknown mode " + args[0]);
        }
    }

    private static void call(BenchModel m) {
        kestrovan.runGLPK(BUILD_AND_BASIS, m.obj, m.ai, m.aj, m.amatrix, m.rhs, m.type, m.lb, m.ub);
    }

    private static long[] timeCalls(BenchModel model, int warmup, int reps) {
        for (int r = 0; r < warmup; r++) call(model);
        long[] times = new long[reps];
        for (int r = 0; r < reps; r++) {
            long start = System.nanoTime();
            call(model);
            times[r] = System.nanoTime() - start;
        }
        return times;
    }

    /**
     * Resets the process's peak resident size to its current size, makes one call and reads the new
     * peak: what the call added at its fullest. A first call, so no freed memory of an earlier call
     * is reused.
     */
    private static long peakOfFirstCall(BenchModel model) throws IOException {
        statusField("VmRSS");  // loads the classes the readings below need
        Files.writeString(Path.of("/proc/self/clear_refs"), "5");
        long before = statusField("VmRSS");
        call(model);
        return statusField("VmHWM") - before;
    }

    /** A field of /proc/self/status, in bytes. */
    private static long statusField(String name) throws IOException {
        for (String line : Files.readAllLines(Path.of("/proc/self/status"), StandardCharsets.US_ASCII)) {
            if (line.startsWith(name + ":")) {
                String[] parts = line.substring(name.length() + 1).trim().split("\\s+");
                return Long.parseLong(parts[0]) * 1024;
            }
        }
        throw new IOException(name + " missing from /proc/self/status");
    }

    static void record(String file, String line) throws IOException {
        try (FileWriter out = new FileWriter(file, StandardCharsets.US_ASCII, true)) {
            out.write(line + "\n");
        }
    }
}
