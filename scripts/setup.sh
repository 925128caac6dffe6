#!/usr/bin/env bash
# Shared set-up of run.sh and test.sh: the missing Debian packages, then a build.
# Usage: scripts/setup.sh PRESET
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
preset=${1:-release}

missing=()
while read -r pkg; do
    [[ -z "$pkg" || "$pkg" == \#* ]] && continue
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
