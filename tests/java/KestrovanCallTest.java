import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import org.junit.jupiter.api.Test;

/** One call from Java through the library to GLPK and back. */
class KestrovanCallTest {

    /** Child JVM: solves the class's built-in example and exits normally. */
    public static final class Example {
        public static void main(String[] args) {
            kestrovan.main(args);
        }
    }

    @Test
    void exampleSolvesToItsKnownOptimum() {
        ChildJvm.Result result = ChildJvm.run(Example.class);
        assertEquals(0, result.exitCode, result::toString);
        assertTrue(result.stdout.contains("*     2: obj =  -1.100000000e+01"), result::toString);
        assertTrue(result.stdout.contains("OPTIMAL LP SOLUTION FOUND\naqui????"), result::toString);
        assertTrue(result.stderr.isEmpty(), result::toString);
    }
}
