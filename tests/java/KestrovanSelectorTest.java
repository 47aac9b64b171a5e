import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.util.Arrays;
import java.util.LinkedHashMap;
import java.util.Map;
import java.util.regex.Matcher;
import java.util.regex.Pattern;

import org.junit.jupiter.api.BeforeAll;
import org.junit.jupiter.api.Test;

/**
 * Selectors 0, 1, 2, 3, 65536 and -1 on a model solved on paper: which method ran (told by
 * GLPK's own report), the notice, the marker last, the optimum, and the nine arrays unchanged.
 */
class KestrovanSelectorTest {

    static final int[] SELECTORS = {0, 1, 2, 3, 65536, -1};

    /** The paper model with extra elements past every count; NaN there would be refused if read. */
    static LpCall paperModelWithExtras(int selector) {
        LpCall c = LpCall.paperModel(selector, 1);
        return new LpCall(new int[] {selector, 1, 2}, c.obj, c.ai, Arrays.copyOf(c.aj, 7),
                withNaN(c.amatrix, 2), c.rhs, new byte[] {0, -1, 0}, withNaN(c.lb, 1), withNaN(c.ub, 3));
    }

    private static double[] withNaN(double[] values, int extra) {
        double[] longer = Arrays.copyOf(values, values.length + extra);
        Arrays.fill(longer, values.length, longer.length, Double.NaN);
        return longer;
    }

    /** Child JVM: one call per selector given, each framed by lines the parent can find. */
    public static final class Child {
        public static void main(String[] args) {
            for (String arg : args) {
                int selector = Integer.parseInt(arg);
                LpCall call = paperModelWithExtras(selector);
                LpCall before = call.copy();
                System.out.print("CALL " + selector + "\n");
                System.out.flush();
                call.run();
                System.out.print("\nDIFF " + call.differencesFrom(before) + "\n");
                System.out.flush();
            }
        }
    }

    /** The echo of the paper model, as the call writes it before GLPK runs. */
    static final String ECHO = String.join("\n",
            "OBJ0: -1", "OBJ1: 1", "OBJ2: 4", "OBJ3: 3",
            "Ai: 1   Aj: 1   Amatrix0: 1", "Ai: 1   Aj: 2   Amatrix1: 1", "Ai: 1   Aj: 3   Amatrix2: 1",
            "Ai: 2   Aj: 1   Amatrix3: 1", "Ai: 2   Aj: 4   Amatrix4: -1",
            "RHS0: 1", "RHS1: -3",
            "LB0: -inf", "UB0: inf", "LB1: 0", "UB1: 10", "LB2: 2", "UB2: 2", "LB3: 0", "UB3: inf",
            "Type0: 0", "Type1: 65535") + "\n";
    static final String BASIS = "Constructing initial basis...\nSize of triangular part is 2\n";

    static final Map<Integer, String> outputs = new LinkedHashMap<>();
    static final Map<Integer, String> differences = new LinkedHashMap<>();
    static ChildJvm.Result child;

    @BeforeAll
    static void runChild() {
        String[] args = Arrays.stream(SELECTORS).mapToObj(Integer::toString).toArray(String[]::new);
        child = ChildJvm.run(Child.class, args);
        assertEquals(0, child.exitCode, child::toString);
        Matcher m = Pattern.compile("(?s)CALL (-?\\d+)\n(.*?)\nDIFF \\[(.*?)\\]\n").matcher(child.stdout);
        int end = 0;
        while (m.find()) {
            assertEquals(end, m.start(), () -> "text between calls:\n" + child);
            outputs.put(Integer.parseInt(m.group(1)), m.group(2));
            differences.put(Integer.parseInt(m.group(1)), m.group(3));
            end = m.end();
        }
        assertEquals(child.stdout.length(), end, () -> "unparsed output:\n" + child);
        assertEquals(SELECTORS.length, outputs.size(), child::toString);
    }

    @Test
    void noJniWarnings() {
        assertFalse(child.stderr.contains("WARNING"), child::toString);
    }

    @Test
    void everyCallLeavesTheNineArraysAsTheyWere() {
        for (int selector : SELECTORS) assertEquals("", differences.get(selector), "selector " + selector);
    }

    @Test
    void everyCallEchoesFirstAndEndsWithTheMarkerOnce() {
        for (int selector : SELECTORS) {
            String out = outputs.get(selector);
            assertTrue(out.startsWith(ECHO + BASIS), () -> "selector " + selector + ":\n" + out);
            assertTrue(out.endsWith(LpCall.MARKER), () -> "selector " + selector + ":\n" + out);
            assertEquals(1, LpCall.count(out, LpCall.MARKER), "selector " + selector);
        }
    }

    @Test
    void simplexRunsForZeroAndForTheLow16BitsOf65536() {
        for (int selector : new int[] {0, 65536}) {
            String out = outputs.get(selector);
            assertTrue(out.contains(BASIS + "GLPK Simplex Optimizer 5.0\n2 rows, 4 columns, 5 non-zeros\n"),
                    () -> "selector " + selector + ":\n" + out);
            assertFalse(out.contains("Original LP has"), out);
            assertFalse(out.contains(LpCall.NOTICE), out);
            assertTrue(out.endsWith("\nOPTIMAL LP SOLUTION FOUND\n" + LpCall.MARKER), out);
            assertEquals(LpCall.PAPER_OPTIMUM, LpCall.simplexOptimum(out), 1e-9, out);
        }
        assertEquals(outputs.get(0), outputs.get(65536));
    }

    @Test
    void interiorPointRunsForOne() {
        String out = outputs.get(1);
        assertTrue(out.contains(BASIS + "Original LP has 2 row(s), 4 column(s), and 5 non-zero(s)\n"), out);
        assertFalse(out.contains("Simplex"), out);
        assertFalse(out.contains(LpCall.NOTICE), out);
        assertTrue(out.endsWith("\nOPTIMAL SOLUTION FOUND\n" + LpCall.MARKER), out);
        assertEquals(LpCall.PAPER_OPTIMUM, LpCall.interiorOptimum(out), 1e-6, out);
    }

    @Test
    void twoWritesTheNoticeRightBeforeTheMarker() {
        assertEquals(ECHO + BASIS + "Method Currently not Supported! /naqui????", outputs.get(2));
    }

    @Test
    void threeAndMinusOneRunNothingAndWriteNothingMore() {
        assertEquals(ECHO + BASIS + LpCall.MARKER, outputs.get(3));
        assertEquals(ECHO + BASIS + LpCall.MARKER, outputs.get(-1));
    }
}
