import java.io.ByteArrayOutputStream;
import java.io.IOException;
import java.io.InputStream;
import java.io.UncheckedIOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import java.util.Map;
import java.util.concurrent.CompletableFuture;
import java.util.concurrent.TimeUnit;

/**
 * Starts a child JVM on the test classpath, with -Xcheck:jni and the native library, and
 * collects what it writes. Native output goes straight to the process's standard output,
 * so a child process is the only way for a Java test to read it.
 */
final class ChildJvm {

    /** What a finished child wrote and how it ended. */
    static final class Result {
        final int exitCode;
        final String stdout;
        final String stderr;

        Result(int exitCode, String stdout, String stderr) {
            this.exitCode = exitCode;
            this.stdout = stdout;
            this.stderr = stderr;
        }

        @Override
        public String toString() {
            return "exit " + exitCode + "\n--- stdout ---\n" + stdout + "\n--- stderr ---\n" + stderr;
        }
    }

    private ChildJvm() {
    }

    static String javaExecutable() {
        return Paths.get(System.getProperty("java.home"), "bin", "java").toString();
    }

    static String libraryPath() {
        return System.getProperty("kestrovan.library");
    }

    static String classpath() {
        String cp = System.getProperty("kestrovan.test.classpath");
        return cp != null ? cp : System.getProperty("java.class.path");
    }

    /** Runs mainClass with args; extraJvmArgs go before the class name; env adds to the environment. */
    static Result run(Class<?> mainClass, List<String> args, Map<String, String> env, String... extraJvmArgs) {
        List<String> command = new ArrayList<>();
        command.add(javaExecutable());
        command.add("-Xcheck:jni");
        command.add("-XX:+DisplayVMOutputToStderr");
        command.add("-Dkestrovan.library=" + libraryPath());
        command.addAll(Arrays.asList(extraJvmArgs));
        command.add("-cp");
        command.add(classpath());
        command.add(mainClass.getName());
        command.addAll(args);
        return runCommand(command, env);
    }

    /** Runs any command, such as a JVM started differently, and collects what it writes. */
    static Result runCommand(List<String> command, Map<String, String> env) {
        ProcessBuilder builder = new ProcessBuilder(command);
        builder.environment().putAll(env);
        try {
            Process process = builder.start();
            process.getOutputStream().close();
            CompletableFuture<byte[]> out = readAll(process.getInputStream());
            CompletableFuture<byte[]> err = readAll(process.getErrorStream());
            if (!process.waitFor(300, TimeUnit.SECONDS)) {
                process.destroyForcibly();
                throw new AssertionError("child JVM did not finish in 300 s: " + command);
            }
            return new Result(process.exitValue(), new String(out.join(), StandardCharsets.UTF_8),
                    new String(err.join(), StandardCharsets.UTF_8));
        } catch (IOException e) {
            throw new UncheckedIOException(e);
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
            throw new AssertionError(e);
        }
    }

    static Result run(Class<?> mainClass, String... args) {
        return run(mainClass, Arrays.asList(args), Map.of());
    }

    private static CompletableFuture<byte[]> readAll(InputStream in) {
        return CompletableFuture.supplyAsync(() -> {
            try (in) {
                ByteArrayOutputStream bytes = new ByteArrayOutputStream();
                in.transferTo(bytes);
                return bytes.toByteArray();
            } catch (IOException e) {
                throw new UncheckedIOException(e);
            }
        });
    }

    /** The project's source folder, for files such as examples/feed-mix.mps. */
    static Path sourceDir() {
        return Paths.get(System.getProperty("kestrovan.source.dir"));
    }

    static Path buildDir() {
        return Paths.get(libraryPath()).getParent();
    }
}
