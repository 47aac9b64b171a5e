import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static org.junit.jupiter.api.Assumptions.assumeFalse;

import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import java.util.Map;
import java.util.regex.Matcher;
import java.util.regex.Pattern;
import java.util.stream.Stream;

import org.junit.jupiter.api.BeforeAll;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.MethodSource;

/** The command line in child JVMs: real models through GLPK, bad input, and loading the library. */
class MpsCommandTest {

    private static final Path NETLIB = Paths.get("/usr/share/coin/Data/Sample");
    private static final Pattern OBJECTIVE = Pattern.compile("obj =\\s*([-+0-9.eE]+)");

    @TempDir
    static Path dir;

    @BeforeAll
    static void writeFixtures() throws IOException {
        String head = "NAME BAD\nROWS\n N COST\n L R\nCOLUMNS\n";
        Files.writeString(dir.resolve("malformed.mps"), head + " X COST 1,5 R 1\nENDATA\n");
        Files.writeString(dir.resolve("unknown-row.mps"), head + " X COST 1 S 1\nENDATA\n");
        Files.writeString(dir.resolve("unknown-bound.mps"), head + " X COST 1 R 1\nBOUNDS\n SC BND X 4\nENDATA\n");
        Files.writeString(dir.resolve("no-columns.mps"), "NAME EMPTY\nROWS\n N COST\nENDATA\n");
        Files.writeString(dir.resolve("empty.mps"), "");
        Files.writeString(dir.resolve("refused.mps"), head + " X COST 1 R 1\nBOUNDS\n LO BND X 1e30\nENDATA\n");
        Files.writeString(dir.resolve("max.mps"), """
                NAME PLAN
                OBJSENSE
                    MAX
                ROWS
                 N PROFIT
                 L ASSEMBLY
                 L FINISH
                COLUMNS
                 TABLES PROFIT 3 ASSEMBLY 1
                 TABLES FINISH 1
                 CHAIRS PROFIT 2 ASSEMBLY 1
                 CHAIRS FINISH 3
                RHS
                 PROFIT -5 ASSEMBLY 4
                 FINISH 6
                BOUNDS
                 UP BND TABLES 3
                ENDATA
                """);
    }

    static double lastObjective(String stdout) {
        Matcher m = OBJECTIVE.matcher(stdout);
        String last = null;
        while (m.find()) last = m.group(1);
        assertTrue(last != null, "no objective in GLPK's report");
        return Double.parseDouble(last);
    }

    static void assertOptimum(double expected, ChildJvm.Result result) {
        double found = lastObjective(result.stdout);
        assertTrue(Math.abs(found - expected) <= 1e-6 * Math.abs(expected),
                () -> "objective " + found + ", expected " + expected + "\n" + result);
    }

    static Stream<Arguments> netlibModels() {
        return Stream.of(
                Arguments.of("afiro", "simplex", -464.7531429, "OPTIMAL LP SOLUTION FOUND\naqui????\n"),
                Arguments.of("brandy", "simplex", 1518.509896, "OPTIMAL LP SOLUTION FOUND\naqui????\n"),
                Arguments.of("e226", "simplex", -18.75192907, "OPTIMAL LP SOLUTION FOUND\naqui????\n"),
                Arguments.of("finnis", "simplex", 172791.0656, "OPTIMAL LP SOLUTION FOUND\naqui????\n"),
                Arguments.of("afiro", "interior", -464.7531429, "OPTIMAL SOLUTION FOUND\naqui????\n"));
    }

    @ParameterizedTest(name = "{0} with the {1} method")
    @MethodSource("netlibModels")
    void netlibModelReachesItsPublishedOptimum(String model, String method, double optimum, String ending) {
        Path file = NETLIB.resolve(model + ".mps");
        assertTrue(Files.isReadable(file), file + " is missing: install Debian's coinor-libcoinutils-dev");
        ChildJvm.Result result = ChildJvm.run(kestrovan.class, "--method", method, file.toString());
        assertEquals(0, result.exitCode, result::toString);
        assertTrue(result.stdout.endsWith(ending), result::toString);
        assertOptimum(optimum, result);
        if (model.equals("e226"))
            assertEquals("kestrovan: objective constant 7.113 (from the RHS of row ...000) not included in"
                    + " GLPK's report\n", result.stderr);
        else
            assertEquals("", result.stderr);
    }

    @Test
    void bundledExampleRunsFromTheJarWithNoOptions() {
        Path jar = ChildJvm.buildDir().resolve("kestrovan.jar");
        Path example = ChildJvm.sourceDir().resolve("examples/feed-mix.mps");
        ChildJvm.Result result = ChildJvm.runCommand(List.of(ChildJvm.javaExecutable(), "-Xcheck:jni",
                "-XX:+DisplayVMOutputToStderr", "-jar", jar.toString(), example.toString()), Map.of());
        assertEquals(0, result.exitCode, result::toString);
        assertTrue(result.stdout.startsWith("OBJ"), result::toString);
        assertTrue(result.stdout.endsWith("OPTIMAL LP SOLUTION FOUND\naqui????\n"), result::toString);
        assertOptimum(262.0001672, result);
        assertEquals("", result.stderr);
    }

    @Test
    void maximisationAndObjectiveConstantAreReported() {
        ChildJvm.Result result = ChildJvm.run(kestrovan.class, dir.resolve("max.mps").toString());
        assertEquals(0, result.exitCode, result::toString);
        assertOptimum(-11, result);
        assertEquals("kestrovan: the model maximises: GLPK minimised the negated objective, so the model's"
                + " objective is minus GLPK's value\n"
                + "kestrovan: objective constant 5.0 (from the RHS of row PROFIT) not included in GLPK's report\n",
                result.stderr);
    }

    static Stream<Arguments> selectors() {
        return Stream.of(
                Arguments.of(List.of("--method", "interior"), "OPTIMAL SOLUTION FOUND\naqui????\n", true),
                Arguments.of(List.of("--method=0"), "OPTIMAL LP SOLUTION FOUND\naqui????\n", true),
                Arguments.of(List.of("--method", "2"), "Method Currently not Supported! /naqui????\n", false),
                Arguments.of(List.of("--method=-1"), "Size of triangular part is 2\naqui????\n", false));
    }

    @ParameterizedTest(name = "{0}")
    @MethodSource("selectors")
    void methodOptionPassesTheSelector(List<String> args, String ending, boolean solved) {
        ChildJvm.Result result = ChildJvm.run(kestrovan.class, args, Map.of());
        assertEquals(0, result.exitCode, result::toString);
        assertTrue(result.stdout.endsWith(ending), result::toString);
        if (solved) assertOptimum(-11, result);
        assertEquals("", result.stderr);
    }

    @Test
    void helpExplainsTheConversion() {
        ChildJvm.Result result = ChildJvm.run(kestrovan.class, "--help");
        assertEquals(0, result.exitCode, result::toString);
        assertTrue(result.stdout.startsWith("Usage: java -jar kestrovan.jar [--method simplex|interior|N] [FILE.mps]"),
                result::toString);
        for (String topic : List.of("OBJSENSE MAX", "G rows are negated", "RANGES", "objective constant",
                "lower bound -inf", "Exit status"))
            assertTrue(result.stdout.contains(topic), topic);
        assertEquals("", result.stderr);
    }

    static Stream<Arguments> badInput() {
        return Stream.of(
                Arguments.of(List.of("--method", "fast"),
                        "kestrovan: bad --method value 'fast': use simplex, interior or an integer (see --help)"),
                Arguments.of(List.of("--method"), "kestrovan: --method needs a value"),
                Arguments.of(List.of("--verbose"), "kestrovan: unknown option --verbose (see --help)"),
                Arguments.of(List.of("a.mps", "b.mps"), "kestrovan: more than one model file given"),
                Arguments.of(List.of("{dir}/missing.mps"), "kestrovan: {dir}/missing.mps: no such file"),
                Arguments.of(List.of("{dir}"), "kestrovan: {dir}: cannot read: "),
                Arguments.of(List.of("{dir}/malformed.mps"), "kestrovan: {dir}/malformed.mps:6: not a number: 1,5"),
                Arguments.of(List.of("{dir}/unknown-row.mps"), "kestrovan: {dir}/unknown-row.mps:6: unknown row S"),
                Arguments.of(List.of("{dir}/unknown-bound.mps"),
                        "kestrovan: {dir}/unknown-bound.mps:8: unknown bound type SC"),
                Arguments.of(List.of("{dir}/no-columns.mps"), "kestrovan: {dir}/no-columns.mps: the model has no columns"),
                Arguments.of(List.of("{dir}/empty.mps"), "kestrovan: {dir}/empty.mps: the file holds no model"),
                Arguments.of(List.of("--method", "interior", "{dir}/refused.mps"),
                        "kestrovan: the model was refused: lb[0] is +inf"));
    }

    @ParameterizedTest(name = "{1}")
    @MethodSource("badInput")
    void badInputGetsOneLineAndStatusTwo(List<String> args, String message) {
        List<String> resolved = new ArrayList<>();
        for (String arg : args) resolved.add(arg.replace("{dir}", dir.toString()));
        ChildJvm.Result result = ChildJvm.run(kestrovan.class, resolved, Map.of());
        assertEquals(2, result.exitCode, result::toString);
        assertEquals("", result.stdout, result::toString);
        assertTrue(result.stderr.startsWith(message.replace("{dir}", dir.toString())), result::toString);
        assertEquals(1, result.stderr.lines().count(), result::toString);
        assertTrue(result.stderr.endsWith("\n"), result::toString);
        assertFalse(result.stderr.contains("Exception"), result::toString);
    }

    private static List<String> jarCommand(Path jar, Path libraryPath, String... args) {
        List<String> command = new ArrayList<>(List.of(ChildJvm.javaExecutable(), "-Xcheck:jni",
                "-XX:+DisplayVMOutputToStderr", "-Djava.library.path=" + libraryPath, "-jar", jar.toString()));
        command.addAll(Arrays.asList(args));
        return command;
    }

    @Test
    void libraryBesideACopiedJarIsFound(@TempDir Path copy) throws IOException {
        Path jar = Files.copy(ChildJvm.buildDir().resolve("kestrovan.jar"), copy.resolve("kestrovan.jar"));
        Files.copy(Paths.get(ChildJvm.libraryPath()), copy.resolve(System.mapLibraryName("kestrovan")));
        Path empty = Files.createDirectory(copy.resolve("empty"));
        ChildJvm.Result result = ChildJvm.runCommand(jarCommand(jar, empty), Map.of());
        assertEquals(0, result.exitCode, result::toString);
        assertOptimum(-11, result);
    }

    /** Child JVM: calls the native method from Java code and prints what it throws. */
    public static final class CallFromJava {
        public static void main(String[] args) {
            try {
                kestrovan.runGLPK(new int[] {0}, new double[0], new int[0], new int[0], new double[0],
                        new double[0], new byte[0], new double[0], new double[0]);
            } catch (UnsatisfiedLinkError e) {
                System.out.print("thrown: " + e.getMessage());
            }
        }
    }

    @Test
    void missingLibraryIsReportedWithEveryPlaceTried(@TempDir Path copy) throws IOException {
        String name = System.mapLibraryName("kestrovan");
        for (String installed : List.of(KestrovanLayout.INSTALLED_LIBRARY_DIR, KestrovanLayout.SYSTEM_LIBRARY_DIR))
            assumeFalse(!installed.isEmpty() && Files.exists(Paths.get(installed, name)),
                    "a copy of the library is installed in " + installed);
        Path original = ChildJvm.buildDir().resolve("kestrovan.jar");
        Path jar = Files.copy(original, copy.resolve("kestrovan.jar"));
        Path empty = Files.createDirectory(copy.resolve("empty"));
        String tried = "kestrovan: cannot load the native library; tried " + name + " on java.library.path ("
                + empty + ")";
        List<Path> places = List.of(copy.resolve(name),
                copy.resolve(KestrovanLayout.LIBRARY_DIR_FROM_JAR).resolve(name).normalize(),
                Paths.get(KestrovanLayout.INSTALLED_LIBRARY_DIR, name));

        // The command line: one line and status 1, and --help needs no library.
        ChildJvm.Result result = ChildJvm.runCommand(jarCommand(jar, empty), Map.of());
        assertEquals(1, result.exitCode, result::toString);
        assertTrue(result.stderr.startsWith(tried), result::toString);
        assertEquals(1, result.stderr.lines().count(), result::toString);
        for (Path place : places)
            assertTrue(result.stderr.contains(place + ": no such file"), () -> place + "\n" + result);
        ChildJvm.Result help = ChildJvm.runCommand(jarCommand(jar, empty, "--help"), Map.of());
        assertEquals(0, help.exitCode, help::toString);
        assertTrue(help.stdout.startsWith("Usage:"), help::toString);

        // Java code that uses the class gets the UnsatisfiedLinkError itself.
        String classpath = ChildJvm.classpath().replace(original.toString(), jar.toString());
        ChildJvm.Result call = ChildJvm.runCommand(List.of(ChildJvm.javaExecutable(), "-Xcheck:jni",
                "-Djava.library.path=" + empty, "-cp", classpath, CallFromJava.class.getName()), Map.of());
        assertEquals(0, call.exitCode, call::toString);
        assertTrue(call.stdout.startsWith("thrown: " + tried), call::toString);
    }
}
