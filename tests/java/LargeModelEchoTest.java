import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.util.List;
import java.util.Map;
import org.junit.jupiter.api.Test;

/**
 * A model large enough that its echo is written on a second thread while GLPK's problem is built:
 * the echo must still be whole and complete before GLPK's first line.
 */
class LargeModelEchoTest {
    static final int COLUMNS = 1000;
    static final int ROWS = 500;

    /** Two entries in every column, at rows j mod 500 and (7j + 3) mod 500, which never coincide. */
    static final class Model {
        final double[] obj = new double[COLUMNS];
        final int[] ai = new int[2 * COLUMNS];
        final int[] aj = new int[2 * COLUMNS];
        final double[] amatrix = new double[2 * COLUMNS];
        final double[] rhs = new double[ROWS];
        final byte[] type = new byte[ROWS];
        final double[] lb = new double[COLUMNS];
        final double[] ub = new double[COLUMNS];

        Model() {
            for (int j = 0; j < COLUMNS; j++) {
                obj[j] = j % 10 + 0.5;
                lb[j] = 0;
                ub[j] = 10 + j % 3;
                for (int t = 0; t < 2; t++) {
                    int k = 2 * j + t;
                    ai[k] = t == 0 ? j % ROWS : (7 * j + 3) % ROWS;
                    aj[k] = j;
                    amatrix[k] = 0.25 * (k % 4 + 1);
                }
            }
            for (int i = 0; i < ROWS; i++) {
                rhs[i] = 100 + i;
                type[i] = (byte) (i % 2);
            }
        }

        /** The echo, for values that print the same in Java and in the echo's notation. */
        String echo() {
            StringBuilder text = new StringBuilder();
            for (int j = 0; j < COLUMNS; j++) text.append("OBJ").append(j).append(": ").append(plain(obj[j])).append('\n');
            for (int k = 0; k < ai.length; k++) {
                text.append("Ai: ").append(ai[k] + 1).append("   Aj: ").append(aj[k] + 1).append("   Amatrix").append(k)
                        .append(": ").append(plain(amatrix[k])).append('\n');
            }
            for (int i = 0; i < ROWS; i++) text.append("RHS").append(i).append(": ").append(plain(rhs[i])).append('\n');
            for (int j = 0; j < COLUMNS; j++) {
                text.append("LB").append(j).append(": ").append(plain(lb[j])).append('\n');
                text.append("UB").append(j).append(": ").append(plain(ub[j])).append('\n');
            }
            for (int i = 0; i < ROWS; i++) text.append("Type").append(i).append(": ").append(type[i]).append('\n');
            return text.toString();
        }

        private static String plain(double v) {
            return v == Math.rint(v) ? Long.toString((long) v) : Double.toString(v);
        }
    }

    /** Child JVM: one call with the selector given as the first argument, on the large model. */
    public static final class OneCall {
        public static void main(String[] args) {
            Model m = new Model();
            kestrovan.runGLPK(new int[] {Integer.parseInt(args[0])}, m.obj, m.ai, m.aj, m.amatrix, m.rhs, m.type,
                    m.lb, m.ub);
        }
    }

    @Test
    void echoIsCompleteBeforeGlpkWrites() {
        String echo = new Model().echo();
        assertTrue(echo.split("\n").length > 4096, "the model must be above the size that overlaps the echo");
        for (String selector : List.of("2", "3")) {
            ChildJvm.Result result = ChildJvm.run(OneCall.class, List.of(selector), Map.of());
            assertEquals(0, result.exitCode, result::toString);
            assertTrue(result.stdout.startsWith(echo + "Constructing initial basis...\n"), result::toString);
            assertTrue(result.stdout.endsWith(selector.equals("2") ? "\nMethod Currently not Supported! /naqui????"
                    : "\naqui????"), result::toString);
            assertTrue(result.stderr.isEmpty(), result::toString);
        }
    }
}
