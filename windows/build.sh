#!/usr/bin/env bash
# Builds kestrovan.dll for 32-bit Windows on Debian, with the MinGW-w64 i686
# cross toolchain:
#
#   bash windows/build.sh [BUILD_DIR]      (default: build/windows)
#
# 1. Installs what is missing (the cross compiler, dpkg-dev, cmake, a JDK).
# 2. Fetches Debian's own GLPK 5.0 source package through a deb-src sources
#    file of its own, kept in the build folder; the system's apt lists and
#    caches are left untouched.
# 3. Builds GLPK as a static library for the target. Static, because then
#    kestrovan.dll is one self-contained file: no glpk DLL to ship next to it,
#    and no chance of the JVM picking up some other GLPK DLL on the PATH.
#    The GLPK build is kept in the build folder; reruns reuse it.
# 4. Builds kestrovan.dll from the same sources as the Linux library, with
#    libstdc++, libgcc and the thread library linked in.
#
# Set KESTROVAN_WERROR=ON to treat compiler warnings as errors.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$top/build/windows}")
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))
triple=i686-w64-mingw32
glpk_version=5.0-1

bash "$top/scripts/install-deps.sh" packages-build.txt ../windows/packages.txt

glpk=$build/glpk
glpk_stamp=$glpk/install/built-$glpk_version
if [[ ! -f $glpk_stamp ]]; then
  if [[ ! -x $glpk/src/configure ]]; then
    echo "Fetching Debian's GLPK $glpk_version source package"
    . /etc/os-release
    mkdir -p "$glpk/apt/lists/partial" "$glpk/download"
    cat >"$glpk/apt/glpk-src.sources" <<EOF
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: ${VERSION_CODENAME:-bookworm}
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    apt_own=(-q -o "Dir::Etc::sourcelist=$glpk/apt/glpk-src.sources" -o Dir::Etc::sourceparts=/dev/null
             -o "Dir::State::Lists=$glpk/apt/lists" -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache=
             -o APT::Sandbox::User=root)
    apt-get "${apt_own[@]}" update >/dev/null
    (cd "$glpk/download" && apt-get "${apt_own[@]}" source --download-only "glpk=$glpk_version" >/dev/null)
    # Debian's patches swap GLPK's bundled zlib, AMD and COLAMD for system
    # libraries that MinGW does not have, so the upstream sources are used.
    # apt has checked the files against the signed archive index; dpkg-source
    # checks them against the .dsc (and only warns that it cannot check the
    # .dsc's own signature without the Debian developers' keyring).
    rm -rf "$glpk/src"
    if ! dpkg-source --skip-patches -x "$glpk/download/glpk_$glpk_version.dsc" "$glpk/src" >"$glpk/unpack.log" 2>&1; then
      cat "$glpk/unpack.log" >&2
      exit 1
    fi
  fi
  echo "Building GLPK $glpk_version for $triple (static)"
  rm -rf "$glpk/obj" "$glpk/install"
  mkdir -p "$glpk/obj"
  # __WOE__ selects GLPK's Windows code (for instance its own gmtime and
  # strerror instead of the POSIX _r variants MinGW lacks).
  (cd "$glpk/obj" &&
    "$glpk/src/configure" -q --host=$triple --disable-shared --enable-static --prefix="$glpk/install" \
      CC=$triple-gcc-posix CPPFLAGS=-D__WOE__ CFLAGS=-O2 >/dev/null &&
    make -j"$jobs" >"$glpk/make.log" 2>&1 && make install >/dev/null) ||
    { tail -n 30 "$glpk/make.log" >&2 2>/dev/null; echo "GLPK build failed (logs in $glpk)" >&2; exit 1; }
  touch "$glpk_stamp"
fi

cmake -S "$top/windows" -B "$build/cmake" \
  -DCMAKE_TOOLCHAIN_FILE="$top/windows/toolchain-i686-w64-mingw32.cmake" \
  -DGLPK_ROOT="$glpk/install" -DKESTROVAN_DLL_DIR="$build" \
  -DKESTROVAN_WERROR="${KESTROVAN_WERROR:-OFF}" >/dev/null
cmake --build "$build/cmake" -j"$jobs"
echo "Built $build/kestrovan.dll"
