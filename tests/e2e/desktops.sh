#!/usr/bin/env bash
# The real demo on one desktop, as its users run it: a missing texture raises a box,
# which is seen over the demo and answered once by Return and once by a click on its
# button; then the picture covers the screen, a held Left key turns the camera, Escape
# ends the demo with 0 and the screen shows the mode it showed before.
# Usage: desktops.sh DESKTOP SNOWDEMO RUNDIR (DESKTOP as lib.sh's start_desktop takes it)
set -uo pipefail
source "$(dirname "$0")/lib.sh"
desktop=$1 binary=$2 source_rundir=$3
rundir=$E2E_DIR/run

start_desktop "$desktop"
sky="77,77,204"
# mode_seen: the screen mode as screen_mode reports it; under a window manager RandR's
# alone: the demo switches through RandR there, and this server's VidMode report lags
# one change behind every RandR switch, even xrandr's own.
mode_seen() {
    local mode
    mode=$(screen_mode)
    if [[ $desktop == bare ]]; then echo "$mode"; else echo "${mode%% *}"; fi
}

# on_screen COMMAND...: runs COMMAND against the server the user sees and types on.
on_screen() { DISPLAY=$INPUT_DISPLAY "$@"; }

# box_share SHOT X Y W H: per cent of the box's rectangle, as far as it lies on the
# visible screen, that shows the box's background colour.
box_share() {
    local shot=$1 x=$2 y=$3 w=$4 h=$5 vw vh area hits
    read -r vw vh < <(visible_size)
    ((x < 0)) && { w=$((w + x)); x=0; }
    ((y < 0)) && { h=$((h + y)); y=0; }
    ((x + w > vw)) && w=$((vw - x))
    ((y + h > vh)) && h=$((vh - y))
    ((w > 0 && h > 0)) || { echo 0; return; }
    # count_in samples every other pixel of every other row.
    area=$(((w / 2) * (h / 2)))
    hits=$(count_in "$shot" "${w}x$h+$x+$y" \
        "abs(r - 56/255) < 0.03 && abs(g - 54/255) < 0.03 && abs(b - 53/255) < 0.03")
    echo $((100 * hits / (area > 0 ? area : 1)))
}

# button_centre SHOT X Y W H: "X Y" of the middle of the box's button, found by its face
# colour inside the box's rectangle; nothing when the button is not on the screen.
button_centre() {
    local shot=$1 bw bh bx by
    read -r bw bh bx by < <(convert "$shot" -crop "$4x$5+$2+$3" +repage -fill black -fuzz 3% \
        +opaque "rgb(105,102,99)" -trim -format "%w %h %X %Y" info: 2>/dev/null)
    ((bw > 20 && bh > 10)) && echo $(($2 + bx + bw / 2)) $(($3 + by + bh / 2))
}

# point_at X Y: the pointer to X,Y of the screen. Weston's X11 backend moves its pointer
# by the outer pointer's motion, not to its position: from the far corner to 0,0 takes
# it into its corner first, from where the motion to X,Y takes it there.
point_at() {
    local sw sh
    read -r sw sh < <(on_screen screen_size)
    on_screen xdotool mousemove $((sw - 1)) $((sh - 1))
    on_screen xdotool mousemove 0 0
    sleep 0.1
    on_screen xdotool mousemove "$1" "$2"
}

# coverage: nothing when the demo's window is exactly what the screen shows and the
# picture is drawn to its edges: sky along the top, ground in the bottom corners (orange
# without the snow texture, as the last colour set is); otherwise what is wrong.
coverage() {
    local win vw vh wx wy ww wh shot=$E2E_DIR/covers.png r g b got
    win=$(wait_window "(FREEGLUT|snowdemo)") || { echo "no demo window"; return; }
    read -r vw vh < <(visible_size)
    read -r wx wy ww wh < <(window_geometry "$win")
    ((wx <= 1 && wy <= 1 && ww == vw && wh == vh)) ||
        { echo "the window is ${ww}x$wh+$wx+$wy, the screen shows ${vw}x$vh"; return; }
    on_screen screenshot "$shot"
    for xy in "$((vw - 5)) 5" "$((vw / 2)) 5"; do
        read -r x y <<<"$xy"
        got=$(pixel "$shot" "$x" "$y")
        near "$got" "$sky" || { echo "no sky at $x,$y: $got"; return; }
    done
    for xy in "5 $((vh - 5))" "$((vw - 5)) $((vh - 5))"; do
        read -r x y <<<"$xy"
        IFS=, read -r r g b <<<"$(pixel "$shot" "$x" "$y")"
        ((r > 200 && g > 90 && g < 150 && b < 30)) || { echo "no ground at $x,$y: $r,$g,$b"; return; }
    done
}

# covers: the picture covers the screen within five seconds (a window manager may take
# a moment to make the window full screen again after the box).
covers() {
    local wrong
    for _ in 1 2 3 4 5; do
        wrong=$(coverage)
        [[ -z $wrong ]] && return 0
        sleep 1
    done
    fail "$wrong"
}

# turns: a held Left key turns the camera: the band between the text and the horizon
# stays still without a key and changes while it is held.
turns() {
    local a=$E2E_DIR/a.png b=$E2E_DIR/b.png c=$E2E_DIR/c.png vw vh x y w h
    read -r vw vh < <(visible_size)
    x=$((vw * 300 / 1024)) y=$((vh * 60 / 768)) w=$((vw * 724 / 1024)) h=$((vh * 70 / 768))
    on_screen screenshot "$a"
    sleep 0.5
    on_screen screenshot "$b"
    differs "$a" "$b" "$x" "$y" "$w" "$h" && fail "the view changed with no key held"
    on_screen xdotool keydown Left
    sleep 1.6
    on_screen xdotool keyup Left
    sleep 0.3
    on_screen screenshot "$c"
    differs "$b" "$c" "$x" "$y" "$w" "$h" || fail "holding Left after the box did not turn the camera"
}

# answer_box_by return|click: the missing texture's box is seen over the demo and goes
# away when answered that way; the demo then carries on as it should.
answer_box_by() {
    local how=$1 before box demo parent bx by bw bh share shot=$E2E_DIR/box.png centre
    rm -rf "$rundir"
    cp -r "$source_rundir" "$rundir"
    rm "$rundir/textures/snow.bmp"
    before=$(mode_seen)
    start_demo "$binary" "$rundir" ASAN_OPTIONS=detect_leaks=0 SDL_AUDIODRIVER=dummy
    box=$(wait_box Error) || fail "$how: $(no_box_reason Error "$E2E_DIR/demo.log")"
    # Transient for the demo's window: what every window manager keeps above it, whatever
    # is clicked or raised.
    demo=$(wait_window "(FREEGLUT|snowdemo)") || fail "$how: no demo window"
    parent=$(xprop -id "$box" WM_TRANSIENT_FOR | awk '/window id/ { print $NF }')
    [[ $((parent)) == $((demo)) ]] || fail "$how: the box is transient for '$parent', not for the demo's $demo"
    # Time for the window manager to place, stack and draw it.
    sleep 1
    read -r bx by bw bh < <(window_geometry "$box")
    on_screen screenshot "$shot"
    share=$(box_share "$shot" "$bx" "$by" "$bw" "$bh")
    echo "$how: box ${bw}x$bh+$bx+$by, $share% of it seen"
    ((share >= 50)) || fail "$how: the box is not seen ($share% of ${bw}x$bh+$bx+$by)"
    if [[ $how == return ]]; then
        on_screen xdotool key Return
    else
        centre=$(button_centre "$shot" "$bx" "$by" "$bw" "$bh") || fail "$how: no button seen"
        point_at $centre
        sleep 0.3
        on_screen xdotool click 1
    fi
    for _ in $(seq 1 50); do
        window_viewable "$box" || break
        sleep 0.1
    done
    window_viewable "$box" && fail "$how: the box is still there"
    sleep 0.5
    kill -0 "$DEMO_PID" 2>/dev/null || fail "$how: the demo ended; log: $(cat "$E2E_DIR/demo.log")"
    covers
    turns
    on_screen xdotool key Escape
    wait_demo_exit 10
    [[ $DEMO_STATUS == 0 ]] ||
        fail "$how: exit status after Escape: $DEMO_STATUS; log: $(cat "$E2E_DIR/demo.log")"
    [[ $(mode_seen) == "$before" ]] ||
        fail "$how: the screen shows $(mode_seen), before it showed $before"
}

answer_box_by return
answer_box_by click
echo "PASS: $desktop"
