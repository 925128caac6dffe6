#!/usr/bin/env bash
# Dependencies run one way: every `#include "dir/file"` in the tree is checked against
# the directories its own directory may use, and only the platform seams above render/
# may include SDL. A directory with sources that the table does not know fails too, so
# a new one gets its rules.
# Usage: include_graph.sh SOURCE_DIR
set -uo pipefail
cd "$1" || exit 1

declare -A uses=(
    [base]="base"
    [timing]="timing"
    [audio]="audio"
    [render]="render base"
    [app]="app render audio timing base"
    [tools]="tools render audio base"
    [fuzz]="render base"
    [bench]="bench render base tools"
    [tests]="tests app render audio timing base tools"
)
sdl_users="app audio tools tests"

failures=0
fail() {
    echo "$*" >&2
    failures=$((failures + 1))
}

while read -r file; do
    dir=${file%%/*}
    if [[ -z ${uses[$dir]+set} ]]; then
        fail "$file: its directory $dir/ has no rules in $0"
        continue
    fi
    while IFS=: read -r line text; do
        target=${text#*\"}
        target=${target%%\"*}
        [[ $target == */* && " ${uses[$dir]} " == *" ${target%%/*} "* ]] ||
            fail "$file:$line: $dir/ may not include \"$target\""
    done < <(grep -nE '^\s*#\s*include\s*"' "$file")
    if [[ " $sdl_users " != *" $dir "* ]] && grep -nE '^\s*#\s*include\s*<SDL' "$file" >/dev/null; then
        fail "$file: $dir/ may not include SDL"
    fi
done < <(git ls-files -co --exclude-standard -- '*.h' '*.hpp' '*.c' '*.cpp' 2>/dev/null ||
    find . -path ./build -prune -o \( -name '*.h' -o -name '*.c' -o -name '*.cpp' \) -print)

if ((failures)); then
    echo "FAIL: $failures wrong-way includes" >&2
    exit 1
fi
echo "PASS"
