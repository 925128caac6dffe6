#!/usr/bin/env bash
# Installs what is missing, builds with the sanitizers and runs the whole test suite
# under CTest, with an X server for the GL tests (the end-to-end tests start their own),
# then the fuzzers. A stage that fails does not stop the others: the script ends
# non-zero and names every stage that failed.
set -uo pipefail
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"

failed=()
# stage NAME COMMAND...: runs one stage and notes it when it fails.
stage() {
    local name=$1
    shift
    echo "=== $name"
    "$@" && return 0
    echo "=== $name: FAILED (status $?)" >&2
    failed+=("$name")
    return 1
}

# run_ctest: the suite, from whatever the debug build made of itself.
run_ctest() {
    [[ -f build/debug/CTestTestfile.cmake ]] || { echo "no debug build to test" >&2; return 1; }
    ctest --preset debug -j 2
}

# build_bench: the benchmarks are only run by hand; building them keeps them compiling.
build_bench() {
    cmake --preset bench >/dev/null &&
        cmake --build --preset bench -j "$(nproc)" --target decode_bench bare_scene swap_counter music_gaps
}

stage "set-up and debug build" scripts/setup.sh debug
stage "benchmark build" build_bench

source scripts/xservers.sh
XVFB_PID=
trap 'stop_pid "$XVFB_PID"' EXIT
if stage "virtual screen" start_xvfb; then
    export DISPLAY=$XVFB_DISPLAY
fi
stage "ctest" run_ctest
stage "fuzzers" scripts/fuzz.sh 20

if ((${#failed[@]})); then
    printf 'test.sh: %d stage(s) failed:' "${#failed[@]}" >&2
    printf ' "%s"' "${failed[@]}" >&2
    echo >&2
    exit 1
fi
echo "test.sh: every stage passed."
