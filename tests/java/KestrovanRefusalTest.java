import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertNotNull;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.util.ArrayList;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.function.Consumer;
import java.util.regex.Matcher;
import java.util.regex.Pattern;

import org.junit.jupiter.api.BeforeAll;
import org.junit.jupiter.api.DynamicTest;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.TestFactory;

/**
 * Input that would crash the JVM or make GLPK end the process is refused with a Java exception
 * before anything is written; GLPK's own fatal errors come back as kestrovan.GlpkException. After
 * each, the next call in the same JVM works.
 */
class KestrovanRefusalTest {

    static final double NAN = Double.NaN;
    static final double INF = Double.POSITIVE_INFINITY;

    /** One refused call: a change to the paper model, the exception expected and words of its message. */
    record Refusal(String name, Consumer<LpCall> change, Class<? extends Throwable> expected, String... words) {
        LpCall call() {
            LpCall c = LpCall.paperModel(0, 1);
            change.accept(c);
            return c;
        }
    }

    static final Class<NullPointerException> NPE = NullPointerException.class;
    static final Class<IllegalArgumentException> IAE = IllegalArgumentException.class;

    // The paper model: obj has 4 elements, rhs 2 (row 0 type 0, row 1 type -1), ai 5;
    // entries (row, column): 0 (0,0), 1 (0,1), 2 (0,2), 3 (1,0), 4 (1,3).
    static final List<Refusal> REFUSALS = List.of(
            new Refusal("nullMethod", c -> c.method = null, NPE, "method is null"),
            new Refusal("nullObj", c -> c.obj = null, NPE, "obj is null"),
            new Refusal("nullAi", c -> c.ai = null, NPE, "ai is null"),
            new Refusal("nullAj", c -> c.aj = null, NPE, "aj is null"),
            new Refusal("nullAmatrix", c -> c.amatrix = null, NPE, "amatrix is null"),
            new Refusal("nullRhs", c -> c.rhs = null, NPE, "rhs is null"),
            new Refusal("nullType", c -> c.type = null, NPE, "type is null"),
            new Refusal("nullLb", c -> c.lb = null, NPE, "lb is null"),
            new Refusal("nullUb", c -> c.ub = null, NPE, "ub is null"),

            new Refusal("methodEmpty", c -> c.method = new int[0], IAE, "method", "empty"),
            new Refusal("ajShort", c -> c.aj = new int[] {0, 1, 2, 0}, IAE, "aj", "length 4", "at least 5"),
            new Refusal("amatrixShort", c -> c.amatrix = new double[0], IAE, "amatrix", "length 0", "at least 5"),
            new Refusal("typeShort", c -> c.type = new byte[] {0}, IAE, "type", "length 1", "at least 2"),
            new Refusal("lbShort", c -> c.lb = new double[] {0, 0, 2}, IAE, "lb", "length 3", "at least 4"),
            new Refusal("ubShort", c -> c.ub = new double[0], IAE, "ub", "length 0", "at least 4"),

            new Refusal("rowPastRows", c -> c.ai[4] = 2, IAE, "matrix entry 4", "ai = 2", "aj = 3", "row index"),
            new Refusal("rowNegative", c -> c.ai[0] = -1, IAE, "matrix entry 0", "ai = -1", "aj = 0", "row index"),
            new Refusal("rowIntMax", c -> c.ai[2] = Integer.MAX_VALUE, IAE, "matrix entry 2", "ai = 2147483647",
                    "row index"),
            new Refusal("columnPastColumns", c -> c.aj[3] = 4, IAE, "matrix entry 3", "ai = 1", "aj = 4",
                    "column index"),
            new Refusal("columnNegative", c -> c.aj[1] = -5, IAE, "matrix entry 1", "aj = -5", "column index"),
            new Refusal("columnIntMin", c -> c.aj[1] = Integer.MIN_VALUE, IAE, "matrix entry 1",
                    "aj = -2147483648", "column index"),
            new Refusal("repeatedPosition", c -> {
                c.ai[3] = 0;
                c.aj[3] = 1;
            }, IAE, "matrix entries 1 and 3", "row 0, column 1"),
            new Refusal("repeatedPositionOfZeros", c -> {
                c.ai[4] = 0;
                c.aj[4] = 2;
                c.amatrix[2] = 0;
                c.amatrix[4] = 0;
            }, IAE, "matrix entries 2 and 4", "row 0, column 2"),

            new Refusal("nanObj", c -> c.obj[2] = NAN, IAE, "obj[2]", "NaN"),
            new Refusal("plusInfObj", c -> c.obj[0] = INF, IAE, "obj[0]", "+inf"),
            new Refusal("minusInfObj", c -> c.obj[3] = -INF, IAE, "obj[3]", "-inf"),
            new Refusal("nanAmatrix", c -> c.amatrix[4] = NAN, IAE, "amatrix[4]", "NaN"),
            new Refusal("plusInfAmatrix", c -> c.amatrix[0] = INF, IAE, "amatrix[0]", "+inf"),
            new Refusal("minusInfAmatrix", c -> c.amatrix[1] = -INF, IAE, "amatrix[1]", "-inf"),
            new Refusal("nanRhs", c -> c.rhs[1] = NAN, IAE, "rhs[1]", "NaN"),
            new Refusal("nanLb", c -> c.lb[1] = NAN, IAE, "lb[1]", "NaN"),
            new Refusal("nanUb", c -> c.ub[2] = NAN, IAE, "ub[2]", "NaN"),
            new Refusal("lbPlusInf", c -> c.lb[3] = INF, IAE, "lb[3]", "+inf"),
            new Refusal("ubMinusInf", c -> c.ub[0] = -INF, IAE, "ub[0]", "-inf"),
            new Refusal("fixedRowPlusInf", c -> c.rhs[0] = INF, IAE, "rhs[0]", "+inf", "type 0"),
            new Refusal("fixedRowMinusInf", c -> c.rhs[0] = -INF, IAE, "rhs[0]", "-inf", "type 0"),
            new Refusal("upperRowMinusInf", c -> c.rhs[1] = -INF, IAE, "rhs[1]", "-inf", "row 1"));

    /** Edge cases that are not refused: words of what GLPK writes for them instead. */
    static final List<Refusal> ACCEPTED = List.of(
            // Column 1 is x1; GLPK numbers it 2 and refuses the bounds itself.
            new Refusal("lowerAboveFiniteUpper", c -> {
                c.lb[1] = 5;
                c.ub[1] = 1;
            }, null, "column 2: lb = 5, ub = 1; incorrect bounds"),
            // Without row 1 the optimum drops from 13 to 9 (x1 = 0).
            new Refusal("upperRowPlusInfIsFree", c -> c.rhs[1] = INF, null, "OPTIMAL LP SOLUTION FOUND\n"),
            new Refusal("typeByteOtherThanZeroOrMinusOne", c -> c.type[1] = 77, null,
                    "OPTIMAL LP SOLUTION FOUND\n"),
            // Empty problems: GLPK would end the process if asked to add no rows or columns.
            new Refusal("emptyProblemSimplex", c -> {
                noColumns(c);
                noRows(c);
            }, null, "GLPK Simplex Optimizer 5.0\n0 rows, 0 columns, 0 non-zeros\n", "OPTIMAL SOLUTION FOUND\n"),
            new Refusal("emptyProblemInterior", c -> {
                noColumns(c);
                noRows(c);
                c.method[0] = 1;
            }, null, "glp_interior: unable to solve empty problem\n"),
            new Refusal("emptyProblemNotice", c -> {
                noColumns(c);
                noRows(c);
                c.method[0] = 2;
            }, null, LpCall.NOTICE + LpCall.MARKER),
            new Refusal("columnsWithoutRows", KestrovanRefusalTest::noRows, null,
                    "0 rows, 4 columns, 0 non-zeros\n"),
            new Refusal("rowsWithoutColumns", KestrovanRefusalTest::noColumns, null,
                    "2 rows, 0 columns, 0 non-zeros\n"));

    static void noColumns(LpCall c) {
        c.obj = new double[0];
        c.lb = new double[0];
        c.ub = new double[0];
        c.ai = new int[0];
        c.aj = new int[0];
        c.amatrix = new double[0];
    }

    static void noRows(LpCall c) {
        c.rhs = new double[0];
        c.type = new byte[0];
        c.ai = new int[0];
        c.aj = new int[0];
        c.amatrix = new double[0];
    }

    /** Passes every check, yet GLPK's interior-point method fails an internal assertion on it. */
    static LpCall glpkAssertionTrigger() {
        return new LpCall(new int[] {1}, new double[] {1e-300, 1}, new int[] {0, 0}, new int[] {0, 1},
                new double[] {1e300, 1e-300}, new double[] {1e300}, new byte[] {0}, new double[] {0, 0},
                new double[] {1e300, 1e300});
    }

    static final int GLPK_ROUNDS = 3;

    private static void println(String text) {
        System.out.print(text + "\n");
        System.out.flush();
    }

    /**
     * Child JVM: a good call, then for every case the refused call and a good call, framed by
     * lines the parent can find. A refused call that wrote anything shows up inside its frame.
     */
    public static final class Child {
        public static void main(String[] args) {
            println("GOOD");
            LpCall.paperModel(0, 1).run();
            println("\nEND");
            List<String> names = new ArrayList<>();
            for (Refusal r : REFUSALS) names.add(r.name());
            for (Refusal r : ACCEPTED) names.add(r.name());
            for (int round = 0; round < GLPK_ROUNDS; round++) names.add("glpkAssertion" + round);
            for (String name : names) {
                LpCall call = name.startsWith("glpkAssertion") ? glpkAssertionTrigger() : find(name).call();
                LpCall before = call.copy();
                println("CASE " + name);
                String thrown = "nothing";
                try {
                    call.run();
                } catch (Throwable t) {
                    thrown = t.getClass().getName() + "|" + String.valueOf(t.getMessage()).replace("\n", "\\n");
                }
                println("THROWN " + thrown);
                println("DIFF " + call.differencesFrom(before));
                LpCall.paperModel(0, 1).run();
                println("\nEND");
            }
        }
    }

    static Refusal find(String name) {
        return java.util.stream.Stream.concat(REFUSALS.stream(), ACCEPTED.stream())
                .filter(r -> r.name().equals(name)).findFirst().orElseThrow();
    }

    /** What the child wrote for one case. */
    record Outcome(String before, String thrownClass, String message, String diff, String after) {
    }

    static ChildJvm.Result child;
    static String good;
    static final Map<String, Outcome> outcomes = new LinkedHashMap<>();

    @BeforeAll
    static void runChild() {
        child = ChildJvm.run(Child.class);
        assertEquals(0, child.exitCode, child::toString);
        Matcher g = Pattern.compile("(?s)\\AGOOD\n(.*?)\nEND\n").matcher(child.stdout);
        assertTrue(g.find(), child::toString);
        good = g.group(1);
        assertEquals(LpCall.PAPER_OPTIMUM, LpCall.simplexOptimum(good), 1e-9);
        Matcher m = Pattern.compile("(?s)CASE (\\w+)\n(.*?)THROWN ([^|\n]*)\\|?([^\n]*)\nDIFF \\[([^\n]*)\\]\n(.*?)\nEND\n")
                .matcher(child.stdout);
        int end = g.end();
        while (m.find()) {
            assertEquals(end, m.start(), () -> "text between cases:\n" + child);
            outcomes.put(m.group(1), new Outcome(m.group(2), m.group(3), m.group(4), m.group(5), m.group(6)));
            end = m.end();
        }
        assertEquals(child.stdout.length(), end, () -> "unparsed output:\n" + child);
        assertEquals(REFUSALS.size() + ACCEPTED.size() + GLPK_ROUNDS, outcomes.size());
    }

    @Test
    void noJniWarnings() {
        assertFalse(child.stderr.contains("WARNING"), child::toString);
    }

    @TestFactory
    List<DynamicTest> everyRefusalThrowsWritesNothingAndTheNextCallWorks() {
        List<DynamicTest> tests = new ArrayList<>();
        for (Refusal r : REFUSALS) {
            tests.add(DynamicTest.dynamicTest(r.name(), () -> {
                Outcome o = outcomes.get(r.name());
                assertNotNull(o, r.name());
                assertEquals(r.expected().getName(), o.thrownClass(), o::toString);
                for (String word : r.words())
                    assertTrue(o.message().contains(word), () -> "\"" + word + "\" missing from: " + o.message());
                assertEquals("", o.before(), "the refused call wrote something");
                assertEquals("", o.diff(), "the refused call changed arrays");
                assertEquals(good, o.after(), "the next call went differently");
            }));
        }
        return tests;
    }

    @TestFactory
    List<DynamicTest> acceptedEdgeCasesGoToGlpk() {
        List<DynamicTest> tests = new ArrayList<>();
        for (Refusal r : ACCEPTED) {
            tests.add(DynamicTest.dynamicTest(r.name(), () -> {
                Outcome o = outcomes.get(r.name());
                assertNotNull(o, r.name());
                assertEquals("nothing", o.thrownClass(), o::toString);
                for (String word : r.words())
                    assertTrue(o.before().contains(word), () -> "\"" + word + "\" missing from:\n" + o.before());
                assertTrue(o.before().endsWith(LpCall.MARKER), o::toString);
                assertEquals("", o.diff());
                assertEquals(good, o.after(), "the next call went differently");
            }));
        }
        return tests;
    }

    @Test
    void freeRowAndAnyNonZeroTypeByteSolveToTheirOptima() {
        assertEquals(9, LpCall.simplexOptimum(outcomes.get("upperRowPlusInfIsFree").before()), 1e-9);
        assertEquals(LpCall.PAPER_OPTIMUM,
                LpCall.simplexOptimum(outcomes.get("typeByteOtherThanZeroOrMinusOne").before()), 1e-9);
    }

    @Test
    void glpkFatalErrorRaisesGlpkExceptionAndTheNextCallWorks() {
        for (int round = 0; round < GLPK_ROUNDS; round++) {
            Outcome o = outcomes.get("glpkAssertion" + round);
            assertEquals("kestrovan$GlpkException", o.thrownClass(), o::toString);
            assertTrue(o.message().startsWith("Assertion failed: x[j] > 0.0"), o::toString);
            assertTrue(o.message().contains("Error detected in file"), o::toString);
            // The echo and GLPK's report up to the error are out; the marker is not.
            assertTrue(o.before().startsWith("OBJ0: 1e-300\n"), o::toString);
            assertTrue(o.before().contains("Original LP has 1 row(s), 2 column(s), and 2 non-zero(s)\n"),
                    o::toString);
            assertFalse(o.before().contains("Assertion failed"), o::toString);
            assertFalse(o.before().contains(LpCall.MARKER), o::toString);
            assertEquals("", o.diff());
            assertEquals(good, o.after(), "the next call went differently");
        }
    }
}
