import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.BufferedReader;
import java.io.IOException;
import java.io.OutputStream;
import java.io.StringReader;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;
import java.util.stream.Stream;
import java.util.zip.GZIPOutputStream;

import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.MethodSource;

/** Reading MPS text and turning it into the nine arrays, in process (no native library needed). */
class MpsModelTest {

    private static final double INF = Double.POSITIVE_INFINITY;

    static MpsModel parse(String text) throws IOException, MpsModel.FormatException {
        return MpsModel.parse(new BufferedReader(new StringReader(text)), "t.mps");
    }

    static MpsModel.LpArrays arrays(String text) throws IOException, MpsModel.FormatException {
        return parse(text).toArrays(0);
    }

    /** One column X with cost 1 and coefficient 2 in row R of the given kind. */
    static String oneRow(String kind, String rhs, String range) {
        return "NAME ONE\nROWS\n N COST\n " + kind + " R\nCOLUMNS\n X COST 1 R 2\n"
                + (rhs == null ? "" : "RHS\n RHS R " + rhs + "\n")
                + (range == null ? "" : "RANGES\n RNG R " + range + "\n") + "ENDATA\n";
    }

    static Stream<Arguments> rowCases() {
        return Stream.of(
                // kind, rhs, range, expected rhs, type, matrix values (one per derived row)
                Arguments.of("E", "5", null, new double[] {5}, new byte[] {0}, new double[] {2}),
                Arguments.of("E", "5", "3", new double[] {8, -5}, new byte[] {1, 1}, new double[] {2, -2}),
                Arguments.of("E", "5", "-3", new double[] {5, -2}, new byte[] {1, 1}, new double[] {2, -2}),
                Arguments.of("E", "5", "0", new double[] {5}, new byte[] {0}, new double[] {2}),
                Arguments.of("L", "5", null, new double[] {5}, new byte[] {1}, new double[] {2}),
                Arguments.of("L", "5", "3", new double[] {5, -2}, new byte[] {1, 1}, new double[] {2, -2}),
                Arguments.of("L", "5", "-3", new double[] {5, -2}, new byte[] {1, 1}, new double[] {2, -2}),
                Arguments.of("L", null, null, new double[] {0}, new byte[] {1}, new double[] {2}),
                Arguments.of("G", "5", null, new double[] {-5}, new byte[] {1}, new double[] {-2}),
                Arguments.of("G", "5", "3", new double[] {8, -5}, new byte[] {1, 1}, new double[] {2, -2}),
                Arguments.of("G", "5", "-3", new double[] {8, -5}, new byte[] {1, 1}, new double[] {2, -2}),
                // 0 negated stays +0 so the echo shows what the file says
                Arguments.of("G", null, null, new double[] {0.0}, new byte[] {1}, new double[] {-2}),
                Arguments.of("G", "-1e30", null, new double[] {INF}, new byte[] {1}, new double[] {-2}),
                Arguments.of("L", "1e30", null, new double[] {INF}, new byte[] {1}, new double[] {2}),
                Arguments.of("L", "4", "1e30", new double[] {4}, new byte[] {1}, new double[] {2}));
    }

    @ParameterizedTest(name = "{0} row, rhs {1}, range {2}")
    @MethodSource("rowCases")
    void rowBecomesTheRowsItMeans(String kind, String rhs, String range, double[] expectedRhs, byte[] expectedType,
            double[] expectedValues) throws Exception {
        MpsModel.LpArrays lp = arrays(oneRow(kind, rhs, range));
        assertArrayEquals(expectedRhs, lp.rhs);
        assertArrayEquals(expectedType, lp.type);
        assertArrayEquals(expectedValues, lp.amatrix);
        int[] rows = new int[expectedRhs.length];
        for (int i = 0; i < rows.length; i++) rows[i] = i;
        assertArrayEquals(rows, lp.ai);
        assertArrayEquals(new int[rows.length], lp.aj);
        assertArrayEquals(new double[] {1}, lp.obj);
    }

    @Test
    void rangedRowsShiftTheRowsAfterThem() throws Exception {
        MpsModel.LpArrays lp = arrays("""
                NAME SHIFT
                ROWS
                 G A
                 N COST
                 L B
                 E C
                COLUMNS
                 X A 1 B 2
                 X C 3 COST 4
                 Y A 5 C 6
                RHS
                 A 1 B 2
                 C 3
                RANGES
                 A 10
                ENDATA
                """);
        // A is [1, 11]: rows 0 (upper) and 1 (negated lower); B is row 2; C is row 3.
        assertArrayEquals(new double[] {11, -1, 2, 3}, lp.rhs);
        assertArrayEquals(new byte[] {1, 1, 1, 0}, lp.type);
        assertArrayEquals(new int[] {0, 1, 2, 3, 0, 1, 3}, lp.ai);
        assertArrayEquals(new int[] {0, 0, 0, 0, 1, 1, 1}, lp.aj);
        assertArrayEquals(new double[] {1, -1, 2, 3, 5, -5, 6}, lp.amatrix);
        assertArrayEquals(new double[] {4, 0}, lp.obj);
    }

    static Stream<Arguments> senseCases() {
        return Stream.of(
                Arguments.of("OBJSENSE\n    MAX\n", true),
                Arguments.of("OBJSENSE\n    MAXIMIZE\n", true),
                Arguments.of("OBJSENSE MAX\n", true),
                Arguments.of("OBJSENSE\n    MIN\n", false),
                Arguments.of("", false));
    }

    @ParameterizedTest(name = "[{index}] max={1}")
    @MethodSource("senseCases")
    void maximisationNegatesTheCostsAndKeepsTheConstant(String sense, boolean max) throws Exception {
        MpsModel model = parse("NAME S\n" + sense + """
                ROWS
                 N PROFIT
                 N OTHER
                 L CAP
                COLUMNS
                 X PROFIT 3 CAP 1
                 X OTHER 9
                 Y PROFIT 0 CAP 1
                 Z CAP 1
                RHS
                 PROFIT -2.5 CAP 4
                 OTHER 7
                ENDATA
                """);
        MpsModel.LpArrays lp = model.toArrays(1);
        assertEquals(max, model.maximize);
        assertArrayEquals(max ? new double[] {-3, 0, 0} : new double[] {3, 0, 0}, lp.obj);
        assertEquals(2.5, model.objectiveConstant);
        assertEquals("PROFIT", model.objectiveRow);
        assertArrayEquals(new int[] {1}, lp.method);
        // The second N row and its right-hand side are dropped.
        assertArrayEquals(new double[] {4}, lp.rhs);
        assertArrayEquals(new int[] {0, 0, 0}, lp.ai);
    }

    @Test
    void objnameChoosesTheObjectiveAmongNRows() throws Exception {
        MpsModel.LpArrays lp = arrays("""
                NAME O
                OBJNAME
                    SECOND
                ROWS
                 N FIRST
                 N SECOND
                 L CAP
                COLUMNS
                 X FIRST 1 SECOND 2
                 X CAP 1
                ENDATA
                """);
        assertArrayEquals(new double[] {2}, lp.obj);
    }

    static Stream<Arguments> boundCases() {
        return Stream.of(
                Arguments.of("", 0.0, INF, false),
                Arguments.of(" UP BND X 4\n", 0.0, 4.0, false),
                Arguments.of(" UP X 4\n", 0.0, 4.0, false),
                Arguments.of(" UP BND X -2\n", -INF, -2.0, true),
                Arguments.of(" LO BND X -3\n UP BND X -2\n", -3.0, -2.0, false),
                Arguments.of(" UP BND X -2\n LO BND X -3\n", -3.0, -2.0, true),
                Arguments.of(" LO BND X 1.5\n", 1.5, INF, false),
                Arguments.of(" FX BND X 3\n", 3.0, 3.0, false),
                Arguments.of(" FR BND X\n", -INF, INF, false),
                Arguments.of(" FR X\n", -INF, INF, false),
                Arguments.of(" UP BND X 5\n MI BND X\n", -INF, 5.0, false),
                Arguments.of(" UP BND X 5\n PL BND X\n", 0.0, INF, false),
                Arguments.of(" BV BND X\n", 0.0, 1.0, false),
                Arguments.of(" BV BND X 1\n", 0.0, 1.0, false),
                Arguments.of(" LI BND X 2\n UI BND X 7\n", 2.0, 7.0, false),
                Arguments.of(" UP BND X 1e30\n", 0.0, INF, false),
                Arguments.of(" LO BND X -1e+30\n", -INF, INF, false),
                Arguments.of(" LO BND X -Inf\n UP BND X 2.5D1\n", -INF, 25.0, false));
    }

    @ParameterizedTest(name = "[{index}] {0}")
    @MethodSource("boundCases")
    void boundTypesSetTheirBounds(String bounds, double lower, double upper, boolean noted) throws Exception {
        MpsModel model = parse("NAME B\nROWS\n N COST\n L R\nCOLUMNS\n X COST 1 R 1\n Y COST 1 R 1\nBOUNDS\n"
                + bounds + "ENDATA\n");
        MpsModel.LpArrays lp = model.toArrays(0);
        assertArrayEquals(new double[] {lower, 0}, lp.lb);
        assertArrayEquals(new double[] {upper, INF}, lp.ub);
        assertEquals(noted, !model.notes.isEmpty(), model.notes::toString);
        if (noted) assertTrue(model.notes.get(0).startsWith("t.mps:9: negative upper bound on column X"));
    }

    private static final String FIXED = """
            * A model in fixed MPS with set names, comments and a MARKER pair.
            NAME          FIXED
            ROWS
             N  COST
             G  LIM1
             L  LIM2
             E  MYEQN
            COLUMNS
                X1        COST         1.0   LIM1         1.0
                X1        LIM2         1.0
                MARKER                 'MARKER'                 'INTORG'
                X2        COST         2.0   LIM1         1.0
                X2        MYEQN       -1.0
                MARKER                 'MARKER'                 'INTEND'
                X3        COST        -1.0   MYEQN        1.0
            RHS
                RHS       COST        -3.5
                RHS       LIM1         2.0   LIM2         4.0
                RHS       MYEQN        7.0
            RANGES
                RNG       LIM2         1.5
            BOUNDS
             UP BND       X1           4.0
             LO BND       X2          -1.0
             UP BND       X2           1.0
             MI BND       X3
            ENDATA
            """;

    private static final String FREE = "NAME FREE\r\nROWS\r\n N COST\r\n"
            + "  G\tLIM1\r\n L LIM2\r\n E MYEQN\r\nCOLUMNS\r\n X1 COST 1 LIM1 1\r\n X1 LIM2 1\r\n"
            + " X2 COST 2e0 LIM1 +1\r\n X2 MYEQN -1\r\n X3 COST -1. MYEQN 1\r\nRHS\r\n COST -3.5\r\n"
            + " LIM1 2 LIM2 4\r\n MYEQN 7\r\nRANGES\r\n LIM2 1.5\r\nBOUNDS\r\n UP X1 4\r\n LO X2 -1\r\n"
            + " UP X2 1\r\n MI X3\r\nENDATA\r\n";

    private static void assertSameArrays(MpsModel.LpArrays expected, MpsModel.LpArrays actual) {
        assertArrayEquals(expected.obj, actual.obj);
        assertArrayEquals(expected.ai, actual.ai);
        assertArrayEquals(expected.aj, actual.aj);
        assertArrayEquals(expected.amatrix, actual.amatrix);
        assertArrayEquals(expected.rhs, actual.rhs);
        assertArrayEquals(expected.type, actual.type);
        assertArrayEquals(expected.lb, actual.lb);
        assertArrayEquals(expected.ub, actual.ub);
    }

    @Test
    void fixedAndFreeFormatGiveTheSameArrays() throws Exception {
        MpsModel fixed = parse(FIXED);
        MpsModel.LpArrays lp = fixed.toArrays(0);
        assertEquals("FIXED", fixed.name);
        assertEquals(3.5, fixed.objectiveConstant);
        assertArrayEquals(new double[] {1, 2, -1}, lp.obj);
        // LIM1 >= 2 negated; LIM2 in [2.5, 4] as two rows; MYEQN = 7.
        assertArrayEquals(new double[] {-2, 4, -2.5, 7}, lp.rhs);
        assertArrayEquals(new byte[] {1, 1, 1, 0}, lp.type);
        assertArrayEquals(new int[] {0, 1, 2, 0, 3, 3}, lp.ai);
        assertArrayEquals(new int[] {0, 0, 0, 1, 1, 2}, lp.aj);
        assertArrayEquals(new double[] {-1, 1, -1, -1, -1, 1}, lp.amatrix);
        assertArrayEquals(new double[] {0, -1, -INF}, lp.lb);
        assertArrayEquals(new double[] {4, 1, INF}, lp.ub);
        assertSameArrays(lp, parse(FREE).toArrays(0));
    }

    @Test
    void readsPlainAndGzipFiles(@TempDir Path dir) throws Exception {
        Path plain = dir.resolve("model.mps");
        Files.writeString(plain, FIXED, StandardCharsets.US_ASCII);
        Path gzip = dir.resolve("model.mps.gz");
        try (OutputStream out = new GZIPOutputStream(Files.newOutputStream(gzip))) {
            out.write(FIXED.getBytes(StandardCharsets.US_ASCII));
        }
        MpsModel.LpArrays expected = parse(FIXED).toArrays(0);
        assertSameArrays(expected, MpsModel.read(plain).toArrays(0));
        assertSameArrays(expected, MpsModel.read(gzip).toArrays(0));
    }

    static Stream<Arguments> malformedCases() {
        String rows = "NAME BAD\nROWS\n N COST\n L R\nCOLUMNS\n X COST 1 R 1\n";
        return Stream.of(
                Arguments.of("", "t.mps: the file holds no model"),
                Arguments.of("* only a comment\n\n", "t.mps: the file holds no model"),
                Arguments.of("NAME EMPTY\nROWS\n N COST\nENDATA\n", "t.mps: the model has no columns"),
                Arguments.of(rows, "t.mps: the file ends without ENDATA"),
                Arguments.of(" X COST 1\n", "t.mps:1: data line outside a section"),
                Arguments.of("NAME BAD\nROWS\n Q R\n", "t.mps:3: unknown row type Q (use N, E, L or G)"),
                Arguments.of("NAME BAD\nROWS\n L R\n G R\n", "t.mps:4: row R is defined twice"),
                Arguments.of("NAME BAD\nROWS\n L\n", "t.mps:3: a ROWS line holds a row type and a row name"),
                Arguments.of(rows + " X S 1\n", "t.mps:7: unknown row S"),
                Arguments.of(rows + " X R 2\n", "t.mps:7: column X has two entries in row R"),
                Arguments.of(rows + " X R\n", "t.mps:7: a COLUMNS line holds a column name and one or two pairs"),
                Arguments.of(rows + " Y R 1.2.3\n", "t.mps:7: not a number: 1.2.3"),
                Arguments.of(rows + " Y R 1e999\n", "t.mps:7: not a finite number: 1e999"),
                Arguments.of(rows + " Y R inf\n", "t.mps:7: not a number: inf"),
                Arguments.of(rows + "RHS\n RHS S 1\n", "t.mps:8: unknown row S"),
                Arguments.of(rows + "RHS\n RHS R 1\n RHS2 R 2\n", "t.mps:9: a second RHS set RHS2"),
                Arguments.of(rows + "RHS\n R 1\n R 2\n", "t.mps:9: a second right-hand side for row R"),
                Arguments.of(rows + "RHS\n R x\n", "t.mps:8: not a number: x"),
                Arguments.of(rows + "RANGES\n COST 1\n", "t.mps:8: row COST is a free (N) row"),
                Arguments.of(rows + "BOUNDS\n SC BND X 1\n", "t.mps:8: unknown bound type SC"),
                Arguments.of(rows + "BOUNDS\n UP BND Y 1\n", "t.mps:8: unknown column Y"),
                Arguments.of(rows + "BOUNDS\n UP BND\n", "t.mps:8: a UP bound line holds"),
                Arguments.of(rows + "BOUNDS\n UP B1 X 1\n UP B2 X 2\n", "t.mps:9: a second BOUNDS set B2"),
                Arguments.of(rows + "BOUNDS\n FX BND X inf\n", "t.mps:8: a fixed bound must be finite"),
                Arguments.of("NAME BAD\nROWS\n E R\nCOLUMNS\n X R 1\nRHS\n R 1e30\n",
                        "t.mps:7: equality row R has an infinite right-hand side"),
                Arguments.of("NAME BAD\nOBJSENSE\n    UP\n", "t.mps:3: unknown objective sense UP"),
                Arguments.of("NAME BAD\nSOS\n", "t.mps:2: unknown or unsupported section SOS"),
                Arguments.of("NAME BAD\nOBJNAME PROFIT\nROWS\n N COST\n L PROFIT\nCOLUMNS\n X COST 1\nENDATA\n",
                        "t.mps: OBJNAME names PROFIT, which is not an N row"));
    }

    @ParameterizedTest(name = "[{index}] {1}")
    @MethodSource("malformedCases")
    void malformedInputNamesFileAndLine(String text, String message) {
        MpsModel.FormatException e = assertThrows(MpsModel.FormatException.class, () -> parse(text));
        assertTrue(e.getMessage().startsWith(message), () -> "got: " + e.getMessage());
        assertEquals(List.of(e.getMessage()), e.getMessage().lines().toList());
    }

    @Test
    void textAfterEndataIsIgnored() throws Exception {
        MpsModel.LpArrays lp = arrays("NAME T\nROWS\n N COST\n L R\nCOLUMNS\n X COST 1 R 1\nENDATA\ngarbage\n");
        assertArrayEquals(new double[] {1}, lp.obj);
    }
}
