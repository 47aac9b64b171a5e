import java.io.File;
import java.io.IOException;
import java.io.UncheckedIOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import java.util.concurrent.TimeUnit;

/**
 * Starts a child JVM like {@link ChildJvm} (with -Xcheck:jni and the native library) but sends
 * its standard output to a file: long runs write far more text than is worth holding in memory.
 */
final class RedirectedChildJvm {

    /** How a finished child ended and what it wrote on standard error. */
    static final class Result {
        final int exitCode;
        final String stderr;

        Result(int exitCode, String stderr) {
            this.exitCode = exitCode;
            this.stderr = stderr;
        }

        @Override
        public String toString() {
            return "exit " + exitCode + "\n--- stderr ---\n" + stderr;
        }
    }

    private RedirectedChildJvm() {
    }

    /** Runs mainClass with args, standard output to stdoutFile; extraJvmArgs go before the class name. */
    static Result run(Class<?> mainClass, List<String> args, Path stdoutFile, long timeoutSeconds,
            String... extraJvmArgs) {
        List<String> command = new ArrayList<>();
        command.add(ChildJvm.javaExecutable());
        command.add("-Xcheck:jni");
        command.add("-XX:+DisplayVMOutputToStderr");
        command.add("-Dkestrovan.library=" + ChildJvm.libraryPath());
        command.addAll(Arrays.asList(extraJvmArgs));
        command.add("-cp");
        command.add(ChildJvm.classpath());
        command.add(mainClass.getName());
        command.addAll(args);
        try {
            Path stderrFile = Files.createTempFile("kestrovan-child-", ".stderr");
            try {
                Process process = new ProcessBuilder(command)
                        .redirectInput(ProcessBuilder.Redirect.from(new File("/dev/null")))
                        .redirectOutput(stdoutFile.toFile())
                        .redirectError(stderrFile.toFile())
                        .start();
                if (!process.waitFor(timeoutSeconds, TimeUnit.SECONDS)) {
                    process.destroyForcibly();
                    throw new AssertionError("child JVM did not finish in " + timeoutSeconds + " s: " + command);
                }
                return new Result(process.exitValue(), Files.readString(stderrFile, StandardCharsets.UTF_8));
            } finally {
                Files.deleteIfExists(stderrFile);
            }
        } catch (IOException e) {
            throw new UncheckedIOException(e);
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
            throw new AssertionError(e);
        }
    }

    /**
     * Occurrences of text in the file, read as a stream so the file may be large. The text must
     * not start with a repeat of its own beginning ("aqui????" does not), so that a mismatch can
     * start over at its first byte.
     */
    static long countOccurrences(Path file, String text) {
        byte[] needle = text.getBytes(StandardCharsets.US_ASCII);
        long count = 0;
        int matched = 0;
        try (var in = new java.io.BufferedInputStream(Files.newInputStream(file), 1 << 16)) {
            int b;
            while ((b = in.read()) != -1) {
                if (b == needle[matched]) {
                    if (++matched == needle.length) {
                        ++count;
                        matched = 0;
                    }
                } else {
                    matched = b == needle[0] ? 1 : 0;
                }
            }
        } catch (IOException e) {
            throw new UncheckedIOException(e);
        }
        return count;
    }
}
