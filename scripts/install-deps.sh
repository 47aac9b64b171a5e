#!/usr/bin/env bash
# Installs, from Debian's archive, the packages named in the given lists that
# are not installed yet. Runs as root (or through sudo when it is available).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

wanted=()
for list in "$@"; do
  while read -r name _; do
    [[ -z "$name" || "$name" == \#* ]] && continue
    wanted+=("$name")
  done <"$here/$list"
done

missing=()
for name in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q 'install ok installed' || missing+=("$name")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
