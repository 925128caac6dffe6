#!/usr/bin/env bash
# Dependencies run one way: every `#include "dir/file"` in the tree is checked against
# the directories its own directory may use, and the libraries below are included only
# where they belong (SDL by the seams above render/; the test and benchmark libraries by
# the tests and the benchmarks, so the release build needs none of them). A directory
# with sources that the table does not know fails too, so a new one gets its rules.
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
# <library/...> or <library.h>: the directories that may include it.
declare -A library_users=(
    [SDL2]="app audio tools tests"
    [gtest]="tests"
    [gmock]="tests"
    [benchmark]="bench"
    [stb]="bench"
)

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
    while IFS=: read -r line text; do
        library=${text#*<}
        library=${library%%[/.>]*}
        users=${library_users[$library]-}
        [[ -z $users || " $users " == *" $dir "* ]] ||
            fail "$file:$line: $dir/ may not include <${text#*<}"
    done < <(grep -nE '^\s*#\s*include\s*<' "$file")
done < <(git ls-files -co --exclude-standard -- '*.h' '*.hpp' '*.c' '*.cpp' 2>/dev/null ||
    find . -path ./build -prune -o \( -name '*.h' -o -name '*.c' -o -name '*.cpp' \) -print)

if ((failures)); then
    echo "FAIL: $failures wrong-way includes" >&2
    exit 1
fi
echo "PASS"
