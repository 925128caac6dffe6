#!/usr/bin/env bash
# Installs what is missing, builds the demo and starts it in build/release/run.
# Without an X display it runs the demo on a virtual one for a few seconds and saves
# a screenshot to build/release/run/screenshot.png instead.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"

scripts/setup.sh release
rundir=$root/build/release/run
demo=$root/build/release/snowdemo

if [[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1; then
    cd "$rundir"
    exec "$demo"
fi

echo "No X display: running the demo on a virtual one for a screenshot."
source scripts/xservers.sh
XVFB_PID=
DEMO_PID=
cleanup() {
    [[ -n "$DEMO_PID" ]] && kill -9 "$DEMO_PID" 2>/dev/null
    stop_pid "$XVFB_PID"
}
trap cleanup EXIT
start_xvfb || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=$XVFB_DISPLAY

start_program "$rundir" - "$demo"
DEMO_PID=$PROGRAM_PID
sleep 5
kill -0 "$DEMO_PID" 2>/dev/null || { echo "The demo ended by itself." >&2; exit 1; }
import -window root "$rundir/screenshot.png"
xdotool key Escape
wait_exit "$DEMO_PID" 10 && DEMO_PID=
echo "Screenshot: $rundir/screenshot.png"
if [[ $EXIT_STATUS != 0 ]]; then
    echo "The demo did not end cleanly on Escape (status: $EXIT_STATUS)." >&2
    exit 1
fi
echo "The demo ended on Escape with status 0."
