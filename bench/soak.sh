#!/usr/bin/env bash
# Runs the demo for 20,000 frames (or FRAMES) under Xvfb and samples its resident
# memory, to show it stays steady after start-up: the GL driver's pools fill during the
# first few thousand frames, so the second half of the run is what shows a leak.
# Uses the bench build in build/bench/.
# Usage: bench/soak.sh [FRAMES]
target=${1:-20000}
source "$(dirname "$0")/lib.sh"
counts=$(mktemp)

start_program build/bench/run /dev/null SWAP_COUNTER_FILE="$counts" \
    LD_PRELOAD="$root/build/bench/swap_counter.so" "$root/build/bench/snowdemo"
DEMO_PID=$PROGRAM_PID

rss() { awk '/VmRSS/ { print $2 }' "/proc/$DEMO_PID/status"; }
frames=0
baseline=
halfway=
peak=0
echo "frames  rss_kib"
while (( frames < target )); do
    sleep 2
    kill -0 "$DEMO_PID" 2>/dev/null || { echo "the demo ended early" >&2; exit 1; }
    [[ -s $counts ]] && read -r frames _ _ <"$counts"
    now=$(rss)
    echo "$frames  $now"
    # Start-up is over once the first thousand frames are drawn.
    if [[ -z "$baseline" ]] && (( frames >= 1000 )); then baseline=$now; fi
    if [[ -z "$halfway" ]] && (( frames >= target / 2 )); then halfway=$now; fi
    (( now > peak )) && peak=$now
done
xdotool key Escape
wait_exit "$DEMO_PID" 10 || { echo "the demo did not end on Escape" >&2; exit 1; }
DEMO_PID=
echo "resident memory after 1000 frames: $baseline KiB; highest: $peak KiB ($(( peak - baseline )) KiB more)"
echo "growth over the second half of the run: $(( now - halfway )) KiB"
