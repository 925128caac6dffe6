#!/usr/bin/env bash
# test.sh with its stages replaced by recorders that fail on request: every stage runs
# whatever failed before it, and the script ends non-zero naming each failed stage.
# Usage: test_script.sh SOURCE_DIR
set -uo pipefail
source_dir=$1
fail() { echo "FAIL: $*" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tree=$work/tree
mkdir -p "$tree/scripts" "$work/bin"
cp "$source_dir/test.sh" "$tree/"
log=$work/log
export STAGE_LOG=$log

# recorder NAME PATH: a command that logs NAME and fails when FAKE_FAIL names it.
recorder() {
    cat >"$2" <<FAKE
#!/bin/sh
echo "$1" >>"\$STAGE_LOG"
case " \$FAKE_FAIL " in *" $1 "*) exit 3 ;; esac
exit 0
FAKE
    chmod +x "$2"
}
recorder setup "$tree/scripts/setup.sh"
recorder fuzz "$tree/scripts/fuzz.sh"
recorder cmake "$work/bin/cmake"
recorder ctest "$work/bin/ctest"
cat >"$tree/scripts/xservers.sh" <<'FAKE'
start_xvfb() {
    echo xvfb >>"$STAGE_LOG"
    case " $FAKE_FAIL " in *" xvfb "*) return 1 ;; esac
    XVFB_PID= XVFB_DISPLAY=:99
}
stop_pid() { :; }
FAKE

# ROW|FAILING|DEBUG_BUILD|FAILED STAGES ("-" for none; then the script must pass).
while IFS='|' read -r row failing debug_build expected; do
    : >"$log"
    rm -rf "$tree/build"
    if [[ $debug_build == yes ]]; then
        mkdir -p "$tree/build/debug"
        touch "$tree/build/debug/CTestTestfile.cmake"
    fi
    status=0
    FAKE_FAIL=$failing PATH=$work/bin:$PATH "$tree/test.sh" >"$work/out" 2>"$work/err" || status=$?
    ran=$(sort -u "$log" | tr '\n' ' ')
    want="cmake fuzz setup xvfb "
    [[ $debug_build == yes ]] && want="cmake ctest fuzz setup xvfb "
    [[ $ran == "$want" ]] || fail "$row: ran '$ran', not '$want'"
    if [[ $expected == - ]]; then
        [[ $status == 0 ]] || fail "$row: status $status; $(cat "$work/err")"
        grep -qx 'test.sh: every stage passed.' "$work/out" || fail "$row: no summary: $(cat "$work/out")"
        continue
    fi
    [[ $status == 1 ]] || fail "$row: status $status, not 1"
    summary=$(grep '^test.sh: ' "$work/err")
    [[ $summary == "test.sh: "*" failed: $expected" ]] || fail "$row: summary '$summary', not $expected"
done <<'ROWS'
all pass||yes|-
the set-up fails|setup|yes|"set-up and debug build"
no debug build to test||no|"ctest"
no virtual screen|xvfb|yes|"virtual screen"
ctest and the fuzzers fail|ctest fuzz|yes|"ctest" "fuzzers"
everything fails|setup cmake xvfb ctest fuzz|yes|"set-up and debug build" "benchmark build" "virtual screen" "ctest" "fuzzers"
ROWS
echo "PASS"
