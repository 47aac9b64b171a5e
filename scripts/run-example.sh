#!/usr/bin/env bash
# Installs what is missing, builds, and solves the example linear program from Java.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${KESTROVAN_BUILD:-$top/build}
bash "$top/scripts/install-deps.sh" packages-build.txt
cmake -S "$top" -B "$build" -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
java -cp "$build/kestrovan.jar" -Djava.library.path="$build" kestrovan "$@"
