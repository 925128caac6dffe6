#!/usr/bin/env bash
# Frames per second of the demo against the bare scene (same geometry, fixed-function
# only), in the same run, under Xvfb with Mesa's llvmpipe; and the demo's start-up time
# from process start to the first presented frame.
# Usage: bench/frame_rate.sh [SECONDS]   (default 15; uses the bench build in build/bench/)
seconds=${1:-15}
source "$(dirname "$0")/lib.sh"
work=$(mktemp -d)

# measure NAME DIR PROGRAM: runs PROGRAM in DIR for $seconds, prints "fps startup".
measure() {
    local name=$1 dir=$2 program=$3 counts=$work/$1.counts
    local launched
    launched=$(date +%s.%N)
    start_program "$dir" "$work/$name.log" SWAP_COUNTER_FILE="$counts" \
        LD_PRELOAD="$root/build/bench/swap_counter.so" "$program"
    local pid=$PROGRAM_PID
    sleep "$seconds"
    xdotool key Escape
    wait_exit "$pid" 10 || { kill -9 "$pid"; echo "$name did not end on Escape" >&2; return 1; }
    read -r frames first last <"$counts"
    awk -v f="$frames" -v a="$first" -v b="$last" -v l="$launched" \
        'BEGIN { printf "%.1f %.3f\n", (f - 1) / (b - a), a - l }'
}

read -r demo_fps demo_startup < <(measure demo build/bench/run "$root/build/bench/snowdemo")
read -r bare_fps bare_startup < <(measure bare build/bench/run "$root/build/bench/bare_scene")
echo "demo:  $demo_fps fps, first frame $demo_startup s after start"
echo "bare:  $bare_fps fps, first frame $bare_startup s after start"
awk -v d="$demo_fps" -v b="$bare_fps" 'BEGIN { printf "ratio: %.2f (goal: at least 0.80)\n", d / b }'
rm -rf "$work"
