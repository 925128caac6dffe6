#!/usr/bin/env bash
# Shared set-up of run.sh, test.sh and the bench scripts: the missing Debian packages,
# then a build. The release preset needs the [run] packages only, the others all of them.
# Usage: scripts/setup.sh PRESET
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
preset=${1:-release}

missing=()
group=
while read -r line; do
    pkg=${line%%#*}
    pkg=${pkg//[[:space:]]/}
    [[ -z "$pkg" ]] && continue
    if [[ "$pkg" == \[*\] ]]; then
        group=$pkg
        continue
    fi
    [[ "$preset" == release && "$group" != "[run]" ]] && continue
    status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)
    [[ "$status" == installed ]] || missing+=("$pkg")
done <"$root/scripts/packages.txt"

if ((${#missing[@]})); then
    echo "Installing missing packages: ${missing[*]}"
    if [[ $(id -u) -eq 0 ]]; then
        sudo=()
    elif command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
        sudo=(sudo)
    else
        echo "Cannot install packages (neither root nor sudo). Run this, then try again:" >&2
        echo "  sudo apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cd "$root"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
