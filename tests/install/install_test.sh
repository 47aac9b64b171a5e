#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks that the installed jar
# finds the installed library with no -D option and solves the example.
# Arguments: BUILD_DIR SOURCE_DIR PREFIX JNI_DIR JAVA_DIR (the last two relative to PREFIX).
set -euo pipefail
build=$1 source=$2 prefix=$3 jnidir=$4 javadir=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

DESTDIR="$work/root" cmake --install "$build" >"$work/install.log"
root="$work/root$prefix"
lib="$root/$jnidir/libkestrovan.so"
jar="$root/$javadir/kestrovan.jar"
for file in "$lib" "$jar"; do
  [[ -f "$file" ]] || { echo "not installed: $file"; find "$work/root" -type f; exit 1; }
done

# Solves the example and checks the report; extra arguments go to the JVM.
solve() {
  (cd "$work" && java -Xcheck:jni -XX:+DisplayVMOutputToStderr "$@" -jar "$jar" \
    "$source/examples/feed-mix.mps") >"$work/out" 2>"$work/err" || { cat "$work/err"; exit 1; }
  grep -q '^\* *[0-9]*: obj =   2.620001672e+02 ' "$work/out" || { echo "optimum missing"; cat "$work/out"; exit 1; }
  [[ "$(tail -c 35 "$work/out")" == *$'OPTIMAL LP SOLUTION FOUND\naqui????' ]] || { echo "no marker"; exit 1; }
  [[ ! -s "$work/err" ]] || { cat "$work/err"; exit 1; }
}

# As a user runs it: no options at all.
solve
# With nothing on java.library.path, so only the lookup relative to the jar
# can find the library: a library installed elsewhere on the system cannot
# make this pass.
mkdir "$work/empty"
solve "-Djava.library.path=$work/empty"
echo "installed jar solved the example with the installed library"
