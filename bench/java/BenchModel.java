import java.util.Arrays;

/**
 * The benchmark model, generated from a seed exactly as bench/bench_model.h generates it, so the
 * Java drivers and the C++ floor time the same program.
 */
final class BenchModel {
    static final int ENTRIES_PER_COLUMN = 10;
    static final long SEED = 20261211L;

    final double[] obj;
    final int[] ai;
    final int[] aj;
    final double[] amatrix;
    final double[] rhs;
    final byte[] type;
    final double[] lb;
    final double[] ub;

    /** splitmix64, as in bench_model.h. */
    private static final class SplitMix64 {
        private long state;

        SplitMix64(long seed) {
            state = seed;
        }

        long next() {
            long z = (state += 0x9E3779B97F4A7C15L);
            z = (z ^ (z >>> 30)) * 0xBF58476D1CE4E5B9L;
            z = (z ^ (z >>> 27)) * 0x94D049BB133111EBL;
            return z ^ (z >>> 31);
        }

        int below(long bound) {
            return (int) Long.remainderUnsigned(next(), bound);
        }
    }

    BenchModel(double[] obj, int[] ai, int[] aj, double[] amatrix, double[] rhs, byte[] type, double[] lb,
            double[] ub) {
        this.obj = obj;
        this.ai = ai;
        this.aj = aj;
        this.amatrix = amatrix;
        this.rhs = rhs;
        this.type = type;
        this.lb = lb;
        this.ub = ub;
    }

    /**
     * About {@code entries} matrix entries: entries/10 columns, half as many rows, ten distinct rows in
     * each column. Values have up to five significant digits; a quarter of the rows are equalities;
     * every bound is finite.
     */
    static BenchModel generate(long entries) {
        int n = (int) (entries / ENTRIES_PER_COLUMN);
        int m = n / 2;
        int nnz = n * ENTRIES_PER_COLUMN;
        SplitMix64 rng = new SplitMix64(SEED);
        double[] obj = new double[n];
        for (int j = 0; j < n; j++) obj[j] = (rng.below(200001) - 100000) / 1000.0;
        int[] ai = new int[nnz];
        int[] aj = new int[nnz];
        double[] amatrix = new double[nnz];
        int k = 0;
        int[] rows = new int[ENTRIES_PER_COLUMN];
        for (int j = 0; j < n; j++) {
            for (int t = 0; t < ENTRIES_PER_COLUMN; t++) {
                boolean repeated = true;
                while (repeated) {
                    rows[t] = rng.below(m);
                    repeated = false;
                    for (int s = 0; s < t; s++) repeated = repeated || rows[s] == rows[t];
                }
                double sign = rng.below(2) == 0 ? 1.0 : -1.0;
                ai[k] = rows[t];
                aj[k] = j;
                amatrix[k] = sign * (1 + rng.below(99000)) / 1000.0;
                k++;
            }
        }
        double[] rhs = new double[m];
        byte[] type = new byte[m];
        for (int i = 0; i < m; i++) {
            rhs[i] = (1 + rng.below(999999)) / 100.0;
            type[i] = (byte) (rng.below(4) == 0 ? 0 : 1);
        }
        double[] lb = new double[n];
        double[] ub = new double[n];
        for (int j = 0; j < n; j++) {
            double lower = rng.below(1000) / 100.0;
            lb[j] = lower;
            ub[j] = lower + (1 + rng.below(99999)) / 100.0;
        }
        return new BenchModel(obj, ai, aj, amatrix, rhs, type, lb, ub);
    }

    /** The tiny model of the echo's example. */
    static BenchModel tiny() {
        return new BenchModel(new double[] {1.5, 2}, new int[] {0, 0}, new int[] {0, 1}, new double[] {1, 1},
                new double[] {10}, new byte[] {0}, new double[] {0, 0}, new double[] {100, 0.25});
    }

    int entries() {
        return ai.length;
    }

    /** A fingerprint of every value, computed as bench_model.h computes it. */
    long fingerprint() {
        long[] h = {0xCBF29CE484222325L};
        java.util.function.LongConsumer mix = v -> h[0] = (h[0] ^ v) * 0x100000001B3L;
        for (double v : obj) mix.accept(Double.doubleToRawLongBits(v));
        for (int k = 0; k < ai.length; k++) {
            mix.accept(ai[k]);
            mix.accept(aj[k]);
            mix.accept(Double.doubleToRawLongBits(amatrix[k]));
        }
        for (int i = 0; i < rhs.length; i++) {
            mix.accept(Double.doubleToRawLongBits(rhs[i]));
            mix.accept(type[i]);
        }
        for (int j = 0; j < lb.length; j++) {
            mix.accept(Double.doubleToRawLongBits(lb[j]));
            mix.accept(Double.doubleToRawLongBits(ub[j]));
        }
        return h[0];
    }

    static String join(long[] values) {
        StringBuilder text = new StringBuilder();
        for (long v : values) text.append(text.length() == 0 ? "" : " ").append(v);
        return text.toString();
    }

    static long median(long[] values) {
        long[] sorted = values.clone();
        Arrays.sort(sorted);
        return sorted[sorted.length / 2];
    }
}
