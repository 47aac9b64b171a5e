#!/usr/bin/env bash
# Builds the project again with AddressSanitizer and UndefinedBehaviorSanitizer
# in BUILD_DIR, runs its C++ tests, then runs random calls from Java against the
# sanitized library in a JVM with the ASan runtime preloaded. Any sanitizer
# report fails the run.
#   bash tests/run-sanitized.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=${1:?usage: run-sanitized.sh SOURCE_DIR BUILD_DIR}
build=${2:?usage: run-sanitized.sh SOURCE_DIR BUILD_DIR}

# KESTROVAN_NESTED keeps this test (and the fuzz run) out of the nested build.
# Warnings are not errors here: the main build holds the code to that, and
# GCC's sanitizer instrumentation draws false warnings of its own.
cmake -S "$source_dir" -B "$build" -DBUILD_TESTING=ON -DKESTROVAN_WERROR=OFF -DKESTROVAN_SANITIZE=ON \
    -DKESTROVAN_NESTED=ON >/dev/null
cmake --build "$build" -j2

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:print_stacktrace=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
# Tests that start a JVM (the JUnit tests, and any test labelled jvm) need the
# runtime preloaded and SIGSEGV left to the JVM; random calls from Java run below.
ctest --test-dir "$build" --output-on-failure --no-tests=error -E '^java\.' -LE jvm

# The JVM uses SIGSEGV itself and keeps memory to the end, so ASan must leave
# that signal alone and not look for leaks; everything else still counts.
asan_runtime=$(gcc -print-file-name=libasan.so)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
LD_PRELOAD=$asan_runtime ASAN_OPTIONS=halt_on_error=1:detect_leaks=0:handle_segv=0:print_stacktrace=1 \
    java -Xcheck:jni -XX:+DisplayVMOutputToStderr -Dkestrovan.library="$build/libkestrovan.so" \
    -cp "$build/tests/kestrovan_java_tests.jar:$build/kestrovan.jar:/usr/share/java/junit-platform-console-standalone.jar" \
    'RandomCallsTest$Driver' 4 500 5 "$work/report" >"$work/stdout" 2>"$work/stderr" || status=$?
if [[ $status -ne 0 || -s "$work/stderr" ]]; then
    echo "random calls under ASan: exit $status" >&2
    cat "$work/stderr" >&2
    exit 1
fi
completed=$(sed -n 's/^completed=//p' "$work/report")
markers=$(grep -o 'aqui????' "$work/stdout" | wc -l)
echo "random calls under ASan: $(tr '\n' ' ' <"$work/report")markers=$markers"
if [[ -z "$completed" || "$completed" -eq 0 || "$completed" -ne "$markers" ]]; then
    echo "expected one closing marker per completed call" >&2
    exit 1
fi
