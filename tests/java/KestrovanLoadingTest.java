import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.util.List;
import java.util.Map;

import org.junit.jupiter.api.Test;

/** How the class finds its library, and what it says when it cannot. */
class KestrovanLoadingTest {

    /** Child JVM: one call, reporting a failure to load on standard output. */
    public static final class Child {
        public static void main(String[] args) {
            try {
                LpCall.paperModel(3, 1).run();
                System.out.print("\nCALLED\n");
            } catch (UnsatisfiedLinkError e) {
                System.out.print("UnsatisfiedLinkError: " + e.getMessage() + "\n");
            }
            System.out.flush();
        }
    }

    static ChildJvm.Result run(String... jvmArgs) {
        ChildJvm.Result r = ChildJvm.run(Child.class, List.of(), Map.of(), jvmArgs);
        assertEquals(0, r.exitCode, r::toString);
        assertFalse(r.stderr.contains("WARNING"), r::toString);
        return r;
    }

    @Test
    void aMissingFileNamedByThePropertySaysWhatWasTried() {
        ChildJvm.Result r = run("-Dkestrovan.library=/nonexistent/libkestrovan.so");
        assertTrue(r.stdout.startsWith("UnsatisfiedLinkError: kestrovan: cannot load the native library; tried "
                + "the file /nonexistent/libkestrovan.so named by -Dkestrovan.library"), r::toString);
        assertFalse(r.stdout.contains("CALLED"), r::toString);
    }

    @Test
    void withoutThePropertyOrJavaLibraryPathItLoadsFromBesideTheJar() {
        // The test classpath holds the build folder's kestrovan.jar, with the library beside it.
        ChildJvm.Result r = run("-Dkestrovan.library=", "-Djava.library.path=/nonexistent-dir");
        assertTrue(r.stdout.startsWith("OBJ0: -1\n"), r::toString);
        assertTrue(r.stdout.endsWith(LpCall.MARKER + "\nCALLED\n"), r::toString);
    }

    @Test
    void withoutThePropertyItLoadsFromJavaLibraryPath() {
        ChildJvm.Result r = run("-Dkestrovan.library=", "-Djava.library.path=" + ChildJvm.buildDir());
        assertTrue(r.stdout.startsWith("OBJ0: -1\n"), r::toString);
        assertTrue(r.stdout.endsWith(LpCall.MARKER + "\nCALLED\n"), r::toString);
    }
}
