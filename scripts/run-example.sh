#!/usr/bin/env bash
# Installs what is missing, builds, and solves the example model examples/feed-mix.mps from Java.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${KESTROVAN_BUILD:-$top/build}
bash "$top/scripts/install-deps.sh" packages-build.txt
cmake -S "$top" -B "$build" -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
java -jar "$build/kestrovan.jar" "$top/examples/feed-mix.mps" "$@"
