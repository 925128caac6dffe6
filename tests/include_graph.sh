#!/usr/bin/env bash
# Dependencies run one way. Every `#include "dir/file"` in the tree and every include of
# the libraries below is checked against the directories that may include it: SDL only
# in the seams above render/, the test and benchmark libraries only in tests/ and bench/
# (so the release build needs none of them). A source in a directory the table does not
# know fails too, and so does a project include from one, so a new one gets its rules.
# Usage: include_graph.sh SOURCE_DIR
set -uo pipefail
cd "$1" || exit 1

# What may be included (a directory of the tree, or a library as <name/...> or
# <name.h>): the directories whose files may include it.
declare -A includers=(
    [base]="base audio render app tools fuzz bench tests"
    [timing]="timing app tests"
    [audio]="audio app tools tests"
    [render]="render app tools fuzz bench tests"
    [app]="app tests"
    [tools]="tools bench tests"
    [bench]="bench"
    [fuzz]="fuzz"
    [tests]="tests fuzz"
    [SDL2]="app audio tests"
    [alsa]="audio tests"
    [X11]="app tests"
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
    [[ -n ${includers[$dir]+set} ]] || fail "$file: its directory $dir/ has no rules in $0"
    while IFS=: read -r line text; do
        if [[ $text == *'"'* ]]; then
            target=${text#*\"}
            target=${target%%\"*}
            name=${target%%/*}
            # A project include names its directory, and that directory has rules.
            [[ $target == */* && -n ${includers[$name]+set} ]] || name=unknown
        else
            target=${text#*<}
            target=${target%%>*}
            name=${target%%[/.]*}
            [[ -n ${includers[$name]+set} ]] || continue
        fi
        [[ " ${includers[$name]-} " == *" $dir "* ]] ||
            fail "$file:$line: $dir/ may not include \"$target\""
    done < <(grep -nE '^\s*#\s*include\s*["<]' "$file")
done < <(git ls-files -co --exclude-standard -- '*.h' '*.hpp' '*.c' '*.cpp' 2>/dev/null ||
    find . -path ./build -prune -o \( -name '*.h' -o -name '*.c' -o -name '*.cpp' \) -print)

if ((failures)); then
    echo "FAIL: $failures wrong-way includes" >&2
    exit 1
fi
echo "PASS"
