#!/usr/bin/env bash
# Shared set-up of run.sh, test.sh and the bench scripts: the missing Debian packages,
# then a build. The release preset needs the [run] packages only, the others all of them.
# Usage: scripts/setup.sh PRESET
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
preset=${1:-release}
# Another apt, or the unattended upgrade a fresh desktop runs at boot, may hold the
# lock for minutes: wait for it rather than fail.
lock_wait=600

# installed PACKAGE: true when dpkg has it installed. A package installed for two
# architectures prints one status per architecture.
installed() {
    dpkg-query -W -f='${db:Status-Status}\n' "$1" 2>/dev/null | grep -qx installed
}

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
    installed "$pkg" || missing+=("$pkg")
done <"$root/scripts/packages.txt"

if ((${#missing[@]})); then
    echo "Not installed yet: ${missing[*]}"
    if [[ $(id -u) -eq 0 ]]; then
        sudo=()
    elif ! command -v sudo >/dev/null; then
        sudo=(none)
    elif [[ -t 0 ]]; then
        # Someone is at the terminal and can type a password if sudo asks for one.
        echo "Installing them with sudo, which may ask for your password."
        sudo=(sudo)
    elif sudo -n true 2>/dev/null; then
        sudo=(sudo -n)
    else
        sudo=(none)
    fi
    if [[ ${sudo[*]-} == none ]]; then
        echo "Cannot install them: not root, and no sudo that works without a terminal to ask" >&2
        echo "for a password. Run this, then try again:" >&2
        echo "  sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
        exit 1
    fi
    echo "Updating apt's package lists, then installing; waiting up to $lock_wait s for another apt to finish."
    # sudo clears the environment: the front end goes through env.
    apt=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=$lock_wait)
    "${apt[@]}" update -qq
    "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}"
fi

echo "Building the $preset preset in build/$preset."
cd "$root"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
