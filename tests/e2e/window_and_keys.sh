#!/usr/bin/env bash
# The real demo under a real X server: a full-screen window with the sky in the clear
# colour, held cursor keys, an ignored letter key and Escape ending it with status 0.
# Usage: window_and_keys.sh xvfb|xorg SNOWDEMO RUNDIR
set -uo pipefail
source "$(dirname "$0")/lib.sh"
server=$1 binary=$2 rundir=$3
mkdir -p "$rundir"

start_server "$server"
# The GL driver's own allocations at exit are not ours to leak-check.
start_demo "$binary" "$rundir" ASAN_OPTIONS=detect_leaks=0 SDL_AUDIODRIVER=dummy

if [[ $server == xorg ]]; then
    # freeglut names its game-mode window FREEGLUT; the fallback window is "snowdemo".
    win=$(wait_window FREEGLUT) || fail "no game-mode window; log: $(cat "$E2E_DIR/demo.log")"
else
    win=$(wait_window snowdemo) || fail "no window; log: $(cat "$E2E_DIR/demo.log")"
fi
sleep 1.5

# Only a mode switch brings the mode guard: nothing else runs beside the demo in a window.
children=$(ps -o comm= --ppid "$DEMO_PID" | tr '\n' ' ')
if [[ $server == xorg ]]; then
    [[ $children == "snowdemo-guard " ]] || fail "processes beside the demo in game mode: $children"
    # The guard holds its pipe and its own X connection, and nothing of the demo's (a copy
    # of the demo's X connection would keep its window up after the demo died).
    guard=$(pgrep -P "$DEMO_PID" -x snowdemo-guard)
    held=$(for fd in /proc/"$guard"/fd/*; do
        target=$(readlink "$fd"); echo "${fd##*/}:${target%%:*}"; done | sort -n | tr '\n' ' ')
    [[ $held == "0:/dev/null 1:/dev/null 2:/dev/null 3:pipe 4:socket " ]] ||
        fail "the mode guard holds $held"
else
    [[ -z $children ]] || fail "processes beside the demo in a window: $children"
fi

read -r wx wy ww wh < <(window_geometry "$win")
read -r sw sh < <(screen_size)
echo "window $ww x $wh at $wx,$wy; screen $sw x $sh"
# Without a window manager the fallback window keeps its 1-pixel X border at the origin.
(( wx <= 1 && wy <= 1 && ww == sw && wh == sh )) ||
    fail "window does not fill the screen; log: $(cat "$E2E_DIR/demo.log")"

xdotool windowfocus --sync "$win" 2>/dev/null || true
xdotool keydown Left
sleep 0.5
xdotool keyup Left
xdotool key a
xdotool key Q
sleep 0.5
kill -0 "$DEMO_PID" 2>/dev/null || fail "the demo ended on a letter key; log: $(cat "$E2E_DIR/demo.log")"

shot=$E2E_DIR/screen.png
screenshot "$shot"
# The sky, in the clear colour, across the top of the screen (the text stays left).
clear_colour="77,77,204"
for xy in "$((ww - 5)) 5" "$((ww / 2)) 5" "$((ww - 5)) 60" "$((ww / 2)) 90"; do
    read -r x y <<<"$xy"
    got=$(pixel "$shot" "$x" "$y")
    near "$got" "$clear_colour" || fail "pixel $x,$y is $got, not the clear colour $clear_colour"
done
# Drawn down to the bottom corners: the snow ground, nowhere black.
for xy in "5 $((wh - 5))" "$((ww - 5)) $((wh - 5))"; do
    read -r x y <<<"$xy"
    IFS=, read -r r g b <<<"$(pixel "$shot" "$x" "$y")"
    (( r > 150 && g > 150 && b > 150 )) || fail "pixel $x,$y is $r,$g,$b, not the ground"
done

xdotool key Escape
wait_demo_exit 10
[[ $DEMO_STATUS == 0 ]] || fail "exit status after Escape: $DEMO_STATUS; log: $(cat "$E2E_DIR/demo.log")"
echo "PASS: $server"
