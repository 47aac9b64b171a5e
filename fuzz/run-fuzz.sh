#!/usr/bin/env bash
# Builds the libFuzzer target with clang in BUILD_DIR and fuzzes for SECONDS,
# starting from the seeds in fuzz/corpus (which it never changes). Fails on
# any crash, sanitizer report, leak, timeout or contradiction the target finds.
#   bash fuzz/run-fuzz.sh BUILD_DIR SECONDS [more libFuzzer options]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?usage: run-fuzz.sh BUILD_DIR SECONDS [options]}
seconds=${2:?usage: run-fuzz.sh BUILD_DIR SECONDS [options]}
shift 2

cmake -S "$here" -B "$build" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j2
mkdir -p "$build/corpus" "$build/artifacts"
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:print_stacktrace=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
# Debian keeps clang's symbolizer off PATH; with it, reports name files and lines.
symbolizer=$(command -v llvm-symbolizer || echo /usr/lib/llvm-14/bin/llvm-symbolizer)
if [[ -x "$symbolizer" ]]; then export ASAN_SYMBOLIZER_PATH=$symbolizer; fi
"$build/road_fuzzer" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/" "$@" "$build/corpus" "$here/corpus"
