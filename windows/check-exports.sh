#!/usr/bin/env bash
# Checks kestrovan.dll's export and import tables, as read by
# i686-w64-mingw32-objdump -p:
#   - exactly one export, named _Java_kestrovan_runGLPK@44, at ordinal 1;
#   - no import of a MinGW runtime or GLPK DLL (they are linked in).
#
#   bash windows/check-exports.sh KESTROVAN_DLL
set -euo pipefail
dll=${1:?usage: check-exports.sh KESTROVAN_DLL}
expected_name=_Java_kestrovan_runGLPK@44

table=$(i686-w64-mingw32-objdump -p "$dll")
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

# The lines that describe the exports, shown so a failure can be read.
echo "$table" | sed -n '/^The Export Tables/,/^PE File Base Relocations/p' | sed '/^PE File Base Relocations/d;/^$/d'

ordinal_base=$(awk '$1 == "Ordinal" && $2 == "Base" { print $3 }' <<<"$table")
address_count=$(awk '$1 == "Export" && $2 == "Address" && $3 == "Table" && NF == 4 { print $4; exit }' <<<"$table")
name_count=$(awk '/\[Name Pointer\/Ordinal\] Table/ { print $NF }' <<<"$table")
# "[   0] +base[   1] c800 Export RVA": every entry of the export address
# table, with its ordinal (the index plus the ordinal base).
ordinals=$(sed -n 's/^[[:space:]]*\[ *[0-9]*\] +base\[ *\([0-9]*\)\].*/\1/p' <<<"$table")
# "[   0] _Java_kestrovan_runGLPK@44": the named exports, by index into the
# address table.
names=$(echo "$table" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[ *\([0-9]*\)\] \(.*\)$/\1 \2/p')

[[ -n $ordinal_base ]] || fail "no export table"
[[ $((16#${address_count:-0})) -eq 1 ]] || fail "export address table has ${address_count:-no} entries, expected 1"
[[ $((16#${name_count:-0})) -eq 1 ]] || fail "name pointer table has ${name_count:-no} entries, expected 1"
[[ $ordinals == 1 ]] || fail "export ordinals are '${ordinals//$'\n'/ }', expected exactly 1"
[[ $names == "$((1 - ${ordinal_base:-1})) $expected_name" ]] ||
  fail "named exports are '${names//$'\n'/; }', expected '$expected_name' at ordinal 1"

imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$table")
echo "Imports: ${imports//$'\n'/ }"
for dll_name in $imports; do
  case ${dll_name,,} in
    lib*.dll | *glpk*) fail "imports $dll_name, which must be linked in statically" ;;
  esac
done

if [[ $failures -ne 0 ]]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "Export table is right: only $expected_name, ordinal 1"
