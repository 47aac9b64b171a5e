#!/usr/bin/env bash
# The Debian package. "contents": builds it with cpack and checks its files and
# dependencies. "install": installs it with dpkg, solves the example with
# /usr/share/java/kestrovan.jar and removes it again; it changes the system, so
# it runs only as root with CI=true or when asked for (KESTROVAN_TEST_DEB_INSTALL),
# and otherwise reports itself skipped (exit 77).
# Arguments: contents|install BUILD_DIR SOURCE_DIR JNI_DIR ALLOW_INSTALL
set -euo pipefail
mode=$1 build=$2 source=$3 jnidir=$4 allow_install=$5
out="$build/package-test"

if [[ $mode == contents ]]; then
  rm -rf "$out"
  cpack -G DEB -B "$out" --config "$build/CPackConfig.cmake" >"$build/package-test.log" 2>&1 \
    || { cat "$build/package-test.log"; exit 1; }
  debs=("$out"/kestrovan_*.deb)
  [[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || { echo "expected one .deb in $out"; exit 1; }
  deb=${debs[0]}
  files=$(dpkg-deb -c "$deb" | awk '{print $6}')
  for wanted in "./usr/$jnidir/libkestrovan.so" ./usr/share/java/kestrovan.jar; do
    grep -qx -- "$wanted" <<<"$files" || { echo "missing from the package: $wanted"; echo "$files"; exit 1; }
  done
  depends=$(dpkg-deb -f "$deb" Depends)
  names=$(tr ',|' '\n\n' <<<"$depends" | sed 's/^ *//; s/ .*//')
  for wanted in libglpk40 java17-runtime-headless libc6 libstdc++6; do
    grep -qxF -- "$wanted" <<<"$names" || { echo "Depends lacks $wanted: $depends"; exit 1; }
  done
  [[ $(dpkg-deb -f "$deb" Package) == kestrovan ]] || { echo "wrong package name"; exit 1; }
  echo "package $deb: files and Depends as expected ($depends)"
  exit 0
fi

[[ $mode == install ]] || { echo "unknown mode $mode"; exit 2; }
if [[ $(id -u) -ne 0 || ( ${CI:-} != true && $allow_install != ON ) ]]; then
  echo "skipped: installs into the system only as root with CI=true or -DKESTROVAN_TEST_DEB_INSTALL=ON"
  exit 77
fi
if dpkg-query -W -f='${Status}' kestrovan 2>/dev/null | grep -q 'install ok installed'; then
  echo "skipped: a kestrovan package is installed already and is left alone"
  exit 77
fi
deb=$(ls "$out"/kestrovan_*.deb)
work=$(mktemp -d)
trap 'dpkg --purge kestrovan >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
DEBIAN_FRONTEND=noninteractive dpkg -i "$deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; exit 1; }
(cd "$work" && java -jar /usr/share/java/kestrovan.jar "$source/examples/feed-mix.mps") >"$work/out" 2>"$work/err" \
  || { cat "$work/err"; exit 1; }
grep -q '^\* *[0-9]*: obj =   2.620001672e+02 ' "$work/out" || { echo "optimum missing"; cat "$work/out"; exit 1; }
[[ "$(tail -c 35 "$work/out")" == *$'OPTIMAL LP SOLUTION FOUND\naqui????' ]] || { echo "no marker"; exit 1; }
[[ ! -s "$work/err" ]] || { cat "$work/err"; exit 1; }
dpkg --purge kestrovan >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; exit 1; }
[[ ! -e /usr/share/java/kestrovan.jar && ! -e "/usr/$jnidir/libkestrovan.so" ]] || { echo "files left after removal"; exit 1; }
echo "installed $deb, solved the example with /usr/share/java/kestrovan.jar, removed it"
