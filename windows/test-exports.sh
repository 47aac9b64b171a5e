#!/usr/bin/env bash
# ctest: cross-builds kestrovan.dll (windows/build.sh, reusing what an earlier
# run left in BUILD_DIR) and checks its export table. Exits 77 (skipped) only
# when the MinGW-w64 cross toolchain is missing and cannot be installed.
#
#   bash windows/test-exports.sh BUILD_DIR
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: test-exports.sh BUILD_DIR}

have_toolchain() {
  command -v i686-w64-mingw32-g++-posix >/dev/null && command -v i686-w64-mingw32-objdump >/dev/null &&
    command -v dpkg-source >/dev/null
}
if ! have_toolchain; then
  bash "$top/scripts/install-deps.sh" ../windows/packages.txt || true
  if ! have_toolchain; then
    echo "SKIPPED: the MinGW-w64 i686 cross toolchain (Debian's g++-mingw-w64-i686, dpkg-dev) is not" \
      "installed and could not be installed here, so kestrovan.dll cannot be built"
    exit 77
  fi
fi

bash "$top/windows/build.sh" "$build"
bash "$top/windows/check-exports.sh" "$build/kestrovan.dll"
