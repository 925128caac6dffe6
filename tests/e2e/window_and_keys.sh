#!/usr/bin/env bash
# The real demo under a real X server: the window the desktop calls for, covering the
# screen from 0,0 in the clear colour, named for docks, the screen mode while it runs and
# after, held cursor keys, an ignored letter key and Escape ending it with status 0.
# Usage: window_and_keys.sh DESKTOP SNOWDEMO RUNDIR
#   DESKTOP: xvfb (no 1024x768 switch to make) | xorg (bare, game mode); on both a window
#            manager ran and died first
#          | xfwm4 (Xorg under a window manager: a full-screen window after a RandR switch)
set -uo pipefail
source "$(dirname "$0")/lib.sh"
desktop=$1 binary=$2 rundir=$3
mkdir -p "$rundir"

# What each desktop gives: the server, the window's name, the screen mode while the demo
# runs and after it ("RANDR VIDMODE", see screen_mode; a pattern), and whether a window
# manager makes the window full screen. The dummy driver's VidMode does not follow a
# RandR switch: only game mode's own switch shows there.
case $desktop in
xvfb) server=xvfb name=snowdemo running="1024x768 -" after="1024x768 -" managed=0 ;;
# freeglut names its game-mode window FREEGLUT.
xorg) server=xorg name=FREEGLUT running="1024x768 1024x768" after="1280x1024 1280x1024" managed=0 ;;
xfwm4) server=xorg name=snowdemo running="1024x768 *" after="1280x1024 *" managed=1 ;;
*) fail "unknown desktop $desktop" ;;
esac

start_server "$server"
start_wm xfwm4 --compositor=off
if ((!managed)); then
    # A window manager that died leaves its _NET_SUPPORTING_WM_CHECK on the root window,
    # naming a window that is gone: the screen is bare again.
    kill -9 "$WM_PID"
    wait "$WM_PID" 2>/dev/null
    WM_PID=
    xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || fail "no stale WM check left"
fi
# The GL driver's own allocations at exit are not ours to leak-check.
if [[ $desktop == xorg ]]; then
    # The display named by GLUT's option alone is the one whose desktop is looked at.
    DEMO_ARGS=(-display "$DISPLAY")
    start_demo "$binary" "$rundir" -u DISPLAY ASAN_OPTIONS=detect_leaks=0 SDL_AUDIODRIVER=dummy
else
    start_demo "$binary" "$rundir" ASAN_OPTIONS=detect_leaks=0 SDL_AUDIODRIVER=dummy
fi

win=$(wait_window "$name") || fail "no window $name; log: $(cat "$E2E_DIR/demo.log")"
sleep 1.5

[[ $(screen_mode) == $running ]] || fail "screen mode $(screen_mode) while running, not $running"

# Only a mode switch brings the mode guard: nothing else runs beside the demo in a window.
children=$(ps -o comm= --ppid "$DEMO_PID" | tr '\n' ' ')
if [[ $server == xorg ]]; then
    [[ $children == "snowdemo-guard " ]] || fail "processes beside the demo after a mode switch: $children"
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
# Exactly the screen, which is the mode shown: nothing cropped, no border, no gap.
IFS=x read -r mw mh <<<"${running%% *}"
(( wx == 0 && wy == 0 && ww == sw && wh == sh && ww == mw && wh == mh )) ||
    fail "window does not cover the screen; log: $(cat "$E2E_DIR/demo.log")"
if ((managed)); then
    xprop -id "$win" _NET_WM_STATE | grep -q _NET_WM_STATE_FULLSCREEN ||
        fail "the window manager did not make it full screen: $(xprop -id "$win" _NET_WM_STATE)"
fi
# Docks match the window to the menu entry (its StartupWMClass) and to the process.
entry_class=$(sed -n 's/^StartupWMClass=//p' "$_snow_e2e_root/packaging/snowdemo.desktop")
[[ $entry_class == Snowdemo ]] || fail "the menu entry's StartupWMClass is '$entry_class'"
[[ $(xprop -id "$win" WM_CLASS) == "WM_CLASS(STRING) = \"snowdemo\", \"$entry_class\"" ]] ||
    fail "window class: $(xprop -id "$win" WM_CLASS)"
[[ $(xprop -id "$win" _NET_WM_PID) == "_NET_WM_PID(CARDINAL) = $DEMO_PID" ]] ||
    fail "window pid: $(xprop -id "$win" _NET_WM_PID), the demo is $DEMO_PID"

# Up to the edges, before a key turns the camera: the whole top row and the left column
# down to the text's line are the sky's clear colour, where a border or a gap is black.
clear_colour="77,77,204"
edges=$E2E_DIR/edges.png
screenshot "$edges"
for edge in "${ww}x1+0+0" "1x90+0+0"; do
    off=$(off_colour "$edges" "$edge" "$clear_colour")
    ((off == 0)) || fail "$off pixels of $edge are not the clear colour $clear_colour"
done
# Drawn down to the bottom corners: the snow ground, nowhere black.
for xy in "0 $((wh - 1))" "$((ww - 1)) $((wh - 1))"; do
    read -r x y <<<"$xy"
    IFS=, read -r r g b <<<"$(pixel "$edges" "$x" "$y")"
    (( r > 150 && g > 150 && b > 150 )) || fail "pixel $x,$y is $r,$g,$b, not the ground"
done

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
for xy in "$((ww - 5)) 5" "$((ww / 2)) 5" "$((ww - 5)) 60" "$((ww / 2)) 90"; do
    read -r x y <<<"$xy"
    got=$(pixel "$shot" "$x" "$y")
    near "$got" "$clear_colour" || fail "pixel $x,$y is $got, not the clear colour $clear_colour"
done

xdotool key Escape
wait_demo_exit 10
[[ $DEMO_STATUS == 0 ]] || fail "exit status after Escape: $DEMO_STATUS; log: $(cat "$E2E_DIR/demo.log")"
[[ $(screen_mode) == $after ]] || fail "screen mode $(screen_mode) after Escape, not $after"
# A normal run says nothing: no GLUT complaint about a mode it could not have.
[[ ! -s $E2E_DIR/demo.log ]] || fail "the demo wrote: $(cat "$E2E_DIR/demo.log")"
echo "PASS: $desktop"
