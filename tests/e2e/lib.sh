# Helpers for the end-to-end tests: a private X server, the demo started in its run
# directory or installed, its window, screenshots and pixel checks. Source it.

_snow_e2e_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$_snow_e2e_root/scripts/xservers.sh"

E2E_DIR=$(mktemp -d)
SERVER_PID=
DEMO_PID=
WM_PID=
# Arguments start_demo gives the demo.
DEMO_ARGS=()

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# skip REASON: ends the test as skipped (77 is the end-to-end tests' SKIP_RETURN_CODE).
skip() {
    echo "SKIP: $*"
    exit 77
}

_e2e_cleanup() {
    if [[ -n "$DEMO_PID" ]]; then
        kill -9 "$DEMO_PID" 2>/dev/null
        wait "$DEMO_PID" 2>/dev/null
    fi
    stop_pid "$WM_PID"
    stop_pid "$SERVER_PID"
    rm -rf "$E2E_DIR"
}
trap _e2e_cleanup EXIT

# start_server xvfb|xorg: a fresh X server for this test only; exports DISPLAY.
# Xorg opens the console and so needs root: without it the test is skipped, not failed.
start_server() {
    case $1 in
        xvfb) start_xvfb || fail "Xvfb did not start"; SERVER_PID=$XVFB_PID; DISPLAY=$XVFB_DISPLAY ;;
        xorg)
            ((EUID == 0)) || skip "Xorg with the dummy driver needs root (running as $(id -un))"
            start_xorg_dummy || fail "Xorg did not start"; SERVER_PID=$XORG_PID; DISPLAY=$XORG_DISPLAY ;;
        *) fail "unknown server $1" ;;
    esac
    export DISPLAY
}

# start_wm NAME [ARG ...]: the window manager NAME on $DISPLAY, output in $E2E_DIR/wm.log;
# returns once it manages the screen (_NET_SUPPORTING_WM_CHECK) and offers full screen
# (_NET_SUPPORTED), which GLUT reads once at start.
start_wm() {
    "$@" >"$E2E_DIR/wm.log" 2>&1 &
    WM_PID=$!
    for _ in $(seq 1 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' &&
            xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_WM_STATE_FULLSCREEN && return 0
        kill -0 "$WM_PID" 2>/dev/null || break
        sleep 0.1
    done
    fail "$1 did not start managing the screen; its output: $(cat "$E2E_DIR/wm.log")"
}

# screen_mode: "RANDR VIDMODE", the mode each extension says the screen shows (such as
# "1024x768 1024x768"; "-" where the server lacks VidMode). --current: a full RandR
# query makes the dummy driver set its mode anew, undoing a VidMode switch.
screen_mode() {
    local randr vidmode
    randr=$(xrandr --current | awk '$2 ~ /\*/ { print $1; exit }')
    vidmode=$(xvidtune -show 2>/dev/null | awk -F'"' 'NF > 1 { print $2; exit }')
    echo "${randr:--} ${vidmode:--}"
}

# start_demo BINARY RUNDIR [ENV=VALUE ...]: the demo in RUNDIR with DEMO_ARGS, output in
# $E2E_DIR/demo.log. The list goes to env(1), so -u NAME may open it.
start_demo() {
    local binary=$1 rundir=$2
    shift 2
    start_program "$rundir" "$E2E_DIR/demo.log" "$@" "$binary" "${DEMO_ARGS[@]}"
    DEMO_PID=$PROGRAM_PID
}

# wait_window NAME [SECONDS]: prints the id of the first visible window called NAME.
wait_window() {
    local name=$1 tries=$(( ${2:-20} * 10 )) id
    for _ in $(seq 1 "$tries"); do
        id=$(xdotool search --onlyvisible --name "^$name\$" 2>/dev/null | head -n 1)
        [[ -n "$id" ]] && { echo "$id"; return 0; }
        kill -0 "$DEMO_PID" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# box_window CAPTION: the id of the shown window titled CAPTION. SDL sets the title
# as a UTF-8 WM_NAME, which xdotool's search does not read; xwininfo does.
box_window() {
    local id
    for id in $(xwininfo -root -tree | awk -v title="\"$1\":" 'index($0, title) { print $1 }'); do
        window_viewable "$id" && { echo "$id"; return 0; }
    done
    return 1
}

# no_box_reason CAPTION OUTPUT: why no box titled CAPTION came, for a failure message.
# A report that wrote "CAPTION: text" to OUTPUT fell back from the dialog to standard
# error; SDL's reason is on an "SDL error:" line when the program printed one. SDL's X11
# box draws with a core X font of the pattern below (Debian: xfonts-base).
no_box_reason() {
    local caption=$1 output=$2 pattern='-*-*-medium-r-normal--*-120-*' reason sdl fonts
    reason="no box titled '$caption'"
    if grep -qF "$caption: " "$output"; then
        reason+=": the report fell back to standard error"
        sdl=$(sed -n 's/^SDL error: //p' "$output" | head -n 1)
        [[ -n $sdl ]] && reason+=" (SDL: $sdl)"
    fi
    fonts=$(xlsfonts -fn "$pattern" 2>/dev/null | wc -l)
    echo "$reason; X core fonts matching $pattern: $fonts; output: $(cat "$output")"
}

# window_viewable ID: true while the window exists and is shown.
window_viewable() {
    xwininfo -id "$1" 2>/dev/null | grep -q "Map State: IsViewable"
}

# wait_box CAPTION: waits for box_window CAPTION while the program under test runs.
wait_box() {
    local id
    for _ in $(seq 1 100); do
        id=$(box_window "$1") && { echo "$id"; return 0; }
        kill -0 "$DEMO_PID" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# wait_demo_exit [SECONDS]: waits for the demo to end; sets DEMO_STATUS to its exit
# status, or to "running" when it did not end in time.
wait_demo_exit() {
    wait_exit "$DEMO_PID" "${1:-10}" && DEMO_PID=
    DEMO_STATUS=$EXIT_STATUS
}

# screenshot FILE: the whole screen.
screenshot() {
    import -window root "$1" || fail "screenshot failed"
}

# pixel FILE X Y: "R,G,B" of one pixel, 8 bits a channel.
pixel() {
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r+0.5)],%[fx:int(255*p{$2,$3}.g+0.5)],%[fx:int(255*p{$2,$3}.b+0.5)]" info:
}

# near R,G,B R,G,B [TOLERANCE]: true when every channel is within TOLERANCE.
near() {
    local a b t=${3:-6}
    IFS=, read -r -a a <<<"$1"
    IFS=, read -r -a b <<<"$2"
    for i in 0 1 2; do
        local d=$(( a[i] - b[i] ))
        (( d < 0 )) && d=$(( -d ))
        (( d <= t )) || return 1
    done
}

# window_geometry ID: "X Y WIDTH HEIGHT" of a window, in root coordinates.
window_geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
        /Width:/{w=$NF} /Height:/{h=$NF} END{print x, y, w, h}'
}

# screen_size: "WIDTH HEIGHT" of the root window.
screen_size() {
    xdpyinfo | awk '/dimensions:/{split($2, d, "x"); print d[1], d[2]}'
}

# count_in FILE GEOMETRY CONDITION: pixels inside the crop GEOMETRY (WxH+X+Y) for which
# the fx CONDITION (channels r, g, b from 0 to 1) holds, counted on every other pixel of
# every other row (fx is slow).
count_in() {
    convert "$1" -crop "$2" +repage -sample 50% -fx "($3) ? 1 : 0" \
        -format "%[fx:int(mean*w*h+0.5)]" info:
}

# off_colour FILE GEOMETRY R,G,B: pixels inside the crop GEOMETRY (WxH+X+Y), every one
# of them, that differ from R,G,B by more than 6 in a channel.
off_colour() {
    local r g b
    IFS=, read -r r g b <<<"$3"
    convert "$1" -crop "$2" +repage -fx \
        "abs(255*r-$r) > 6.5 || abs(255*g-$g) > 6.5 || abs(255*b-$b) > 6.5 ? 1 : 0" \
        -format "%[fx:int(mean*w*h+0.5)]" info:
}

# install_moved BUILD_DIR: `cmake --install` of the build tree into a fresh prefix, which
# is then moved (to a path with a space in it); sets INSTALLED to where it is now.
install_moved() {
    local prefix=$E2E_DIR/prefix
    cmake --install "$1" --prefix "$prefix" >"$E2E_DIR/install.log" 2>&1 ||
        fail "cmake --install failed: $(cat "$E2E_DIR/install.log")"
    INSTALLED="$E2E_DIR/moved prefix"
    mv "$prefix" "$INSTALLED" || fail "cannot move the installation"
}
