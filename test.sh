#!/usr/bin/env bash
# Installs what is missing, builds with the sanitizers and runs the whole test suite
# under CTest, with an X server for the GL tests (the end-to-end tests start their own).
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"

scripts/setup.sh debug
# The benchmarks are only run by hand; building them here keeps them compiling.
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc)" --target decode_bench bare_scene swap_counter

source scripts/xservers.sh
XVFB_PID=
trap 'stop_pid "$XVFB_PID"' EXIT
start_xvfb || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=$XVFB_DISPLAY

ctest --preset debug -j 2

scripts/fuzz.sh 20
