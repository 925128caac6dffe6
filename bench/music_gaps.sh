#!/usr/bin/env bash
# Silent gaps in the music while two busy loops keep both cores loaded: the demo and
# `paplay` (the same tune, decoded by lame) each play for SECONDS into a PulseAudio server
# of the script's own with a null sink, whose monitor is recorded and searched for gaps
# by music_gaps.
# Usage: bench/music_gaps.sh [SECONDS]   (default 60; uses the bench build in build/bench/)
seconds=${1:-60}
source "$(dirname "$0")/lib.sh"
source scripts/sound_server.sh
work=$(mktemp -d)
SOUND_PID=
busy=()
trap '[[ -n "$DEMO_PID" ]] && kill -9 "$DEMO_PID" 2>/dev/null; kill "${busy[@]}" 2>/dev/null
    stop_pid "$SOUND_PID"; stop_pid "$XVFB_PID"; rm -rf "$work"' EXIT
start_sound_server "$work/pulse" || { echo "PulseAudio did not start: $(cat "$work/pulse.log")" >&2; exit 1; }
lame --quiet --decode build/bench/run/audio/coolestshitever.mp3 "$work/tune.wav"

# record NAME COMMAND...: records the sink while COMMAND plays for $seconds, then prints
# music_gaps' line for it.
record() {
    local name=$1 recorder
    shift
    parec -d snow.monitor --raw --format=s16le --rate=44100 --channels=2 >"$work/$name.raw" &
    recorder=$!
    sleep 0.5
    "$@" >"$work/$name.log" 2>&1 &
    DEMO_PID=$!
    sleep "$seconds"
    kill "$DEMO_PID" 2>/dev/null || true
    wait "$DEMO_PID" 2>/dev/null || true
    DEMO_PID=
    sleep 0.5
    kill "$recorder"
    wait "$recorder" 2>/dev/null || true
    build/bench/music_gaps "$work/$name.raw"
}

for _ in 1 2; do
    bash -c 'while :; do :; done' &
    busy+=($!)
done
read -r demo_s demo_gaps demo_ms demo_longest < <(record demo \
    bash -c 'cd build/bench/run && exec ../snowdemo')
read -r play_s play_gaps play_ms play_longest < <(record paplay paplay "$work/tune.wav")
# report NAME SECONDS GAPS SILENT_MS LONGEST_MS
report() {
    awk -v n="$1" -v s="$2" -v g="$3" -v ms="$4" -v l="$5" 'BEGIN {
        printf "%-7s %5.1f s heard, %5.1f gaps per minute, %6.1f ms silent per minute, longest %d ms\n",
            n, s, g * 60 / s, ms * 60 / s, l }'
}
echo "two busy loops on $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
report demo "$demo_s" "$demo_gaps" "$demo_ms" "$demo_longest"
report paplay "$play_s" "$play_gaps" "$play_ms" "$play_longest"
