#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors, and runs every test through ctest.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${KESTROVAN_BUILD:-$top/build}
bash "$top/scripts/install-deps.sh" packages-build.txt packages-test.txt
cmake -S "$top" -B "$build" -DBUILD_TESTING=ON -DKESTROVAN_WERROR=ON
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" "$@"
