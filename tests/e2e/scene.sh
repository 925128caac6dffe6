#!/usr/bin/env bash
# The whole demo, in a copy of the run directory the asset tool made: under Xvfb the
# picture, the camera keys, Escape; each missing or broken file on its own; and the
# installed demo, started by its launcher; the music heard through a sound server of the
# test's own, a music file that is none, and no sound at all. Under Xorg in game mode: the
# whole picture on the mode's screen, a box answered from the keyboard, every way out with
# the screen mode given back, and hostile files.
# Usage: scene.sh CASE SNOWDEMO RUNDIR INPUT_PROBE RANDR_SWITCH_HELPER TUNE_MATCH
#   CASE: picture | keys | missing-bmp | missing-font | broken-shader | missing-music | music
#         | installed (installs from the build tree SNOW_BUILD_DIR)
#         | sound-server | unrecognised-music | no-sound
#         | game-mode-picture | game-mode-box | signals | hostile-files
set -uo pipefail
source "$(dirname "$0")/lib.sh"
source "$_snow_e2e_root/scripts/sound_server.sh"
case_name=$1 binary=$2 source_rundir=$3 probe=$4 randr_switch=$5 tune_match=$6
SOUND_PID=
trap 'stop_pid "$SOUND_PID"; _e2e_cleanup' EXIT

rundir=$E2E_DIR/run
# fresh_rundir: the run directory as the asset tool made it.
fresh_rundir() {
    rm -rf "$rundir"
    cp -r "$source_rundir" "$rundir"
}
fresh_rundir
# Game mode, with its grabs, is only real under Xorg.
case $case_name in
game-mode-picture | game-mode-box | signals | hostile-files) start_server xorg ;;
*) start_server xvfb ;;
esac

sky="77,77,204"

# run_demo [ENV=VALUE ...]: starts the demo in the copied run directory.
run_demo() { start_demo "$binary" "$rundir" ASAN_OPTIONS=detect_leaks=0 SDL_AUDIODRIVER=dummy "$@"; }

# run_with_sound_server [ENV=VALUE ...]: the demo playing into the sound server, with no
# audio driver named, as on a desktop.
run_with_sound_server() { start_demo "$binary" "$rundir" -u SDL_AUDIODRIVER ASAN_OPTIONS=detect_leaks=0 "$@"; }

# sound_server: starts the test's own sound server.
sound_server() {
    start_sound_server "$E2E_DIR/sound" || fail "PulseAudio did not start: $(cat "$E2E_DIR/sound/pulse.log")"
}

# first_frame_after START: seconds from START (date +%s.%N) to the first picture drawn:
# until then the window shows no sky.
first_frame_after() {
    local got
    for _ in $(seq 1 200); do
        got=$(import -window root -crop 1x1+1000+60 +repage -format "%[fx:int(255*r+0.5)],%[fx:int(255*g+0.5)],%[fx:int(255*b+0.5)]" info: 2>/dev/null)
        if near "$got" "$sky"; then
            awk -v a="$1" -v b="$(date +%s.%N)" 'BEGIN { printf "%.2f\n", b - a }'
            return 0
        fi
        kill -0 "$DEMO_PID" 2>/dev/null || return 1
        sleep 0.05
    done
    return 1
}

# end_with_escape WINDOW: Escape, typed as on a keyboard with the pointer over WINDOW
# (the keys follow the pointer where no window manager gives the focus), ends the demo
# with status 0.
end_with_escape() {
    local x y w h
    read -r x y w h < <(window_geometry "$1")
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) key Escape
    wait_demo_exit 10
    [[ $DEMO_STATUS == 0 ]] || fail "exit status after Escape: $DEMO_STATUS; log: $(cat "$E2E_DIR/demo.log")"
}

# dismiss_box CAPTION: finds the dialog titled CAPTION and dismisses it with Return.
# Each box is a new X client, and the server hands a freed client slot to the next one,
# so the box that follows often has the id of the one just dismissed: a property set on
# the box before Return tells the two apart.
dismiss_box() {
    local box
    box=$(wait_box "$1") || fail "$(no_box_reason "$1" "$E2E_DIR/demo.log")"
    xprop -id "$box" -f SNOW_DISMISSED 8s -set SNOW_DISMISSED 1 || fail "cannot mark '$1'"
    xdotool windowfocus --sync "$box" || fail "cannot focus '$1'"
    xdotool key Return
    for _ in $(seq 1 50); do
        window_viewable "$box" && xprop -id "$box" SNOW_DISMISSED 2>/dev/null | grep -q '= "1"' ||
            return 0
        sleep 0.1
    done
    fail "dialog '$1' did not go away on Return"
}

# input_state: "keyboard grabbed|free pointer grabbed|free keys WINDOW", as the X server
# sees it.
input_state() { "$probe"; }

# answer_box CAPTION: the box titled CAPTION is shown on top of everything and the keys
# go to it; Return, typed as on a keyboard, closes it.
answer_box() {
    local box top shot=$E2E_DIR/box.png
    box=$(wait_box "$1") || fail "no dialog titled '$1'; log: $(cat "$E2E_DIR/demo.log")"
    top=$(xwininfo -root -tree | awk '/children:$/ { getline; print $1; exit }')
    [[ $top == "$box" ]] || fail "'$1' ($box) is not on top ($top is)"
    read -r bx by _ _ < <(window_geometry "$box")
    screenshot "$shot"
    near "$(pixel "$shot" $((bx + 4)) $((by + 4)))" "56,54,53" 2 || fail "'$1' is not visible"
    [[ $(input_state) == "keyboard free pointer free keys $box" ]] ||
        fail "'$1' does not get the keys: $(input_state)"
    # The keys follow the pointer, which must be inside the box: where game mode left it,
    # in the middle of the window, it is not inside the box on every screen.
    read -r bx by bw bh < <(window_geometry "$box")
    eval "$(xdotool getmouselocation --shell)"
    ((X > bx && X < bx + bw && Y > by && Y < by + bh)) ||
        fail "the pointer is at $X,$Y, not on '$1' at ${bw}x$bh+$bx+$by"
    xdotool key Return
    for _ in $(seq 1 50); do
        window_viewable "$box" || return 0
        sleep 0.1
    done
    fail "dialog '$1' did not go away on Return"
}

# alive PID: true while the process exists and is not a zombie.
alive() {
    local state
    state=$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null) && [[ $state != Z ]]
}

# expect_scene FILE: the screenshot shows the whole scene as the demo draws it from all
# its files: the sky, the snow, the snowman lit by the shader and the frame-rate text.
expect_scene() {
    local shot=$1 x y got r g b left right tw th tx ty
    for xy in "1000 60" "600 100" "400 120"; do
        read -r x y <<<"$xy"
        got=$(pixel "$shot" "$x" "$y")
        near "$got" "$sky" || fail "sky at $x,$y is $got"
    done
    # The snow ground fills the lower part: bright, nearly grey.
    for xy in "100 740" "900 740" "512 700"; do
        read -r x y <<<"$xy"
        IFS=, read -r r g b <<<"$(pixel "$shot" "$x" "$y")"
        (( r > 150 && g > 150 && b > 150 )) || fail "no snow at $x,$y: $r,$g,$b"
    done
    # The snowman near the centre, lit from the sun's side (+x, the right): its shaded
    # grey lies on the left.
    left=$(count_in "$shot" 112x390+400+230 "r < 0.6 && abs(r-g) < 0.02 && abs(g-b) < 0.02")
    right=$(count_in "$shot" 112x390+512+230 "r < 0.6 && abs(r-g) < 0.02 && abs(g-b) < 0.02")
    (( left > 500 && left > 10 * right )) || fail "snowman not lit from the right ($left/$right)"
    # The normal map gives the lit snow its relief: there most neighbouring pixels (two
    # apart, after count_in's sampling) differ by more than 3%, where a smooth sphere
    # changes by a level or two. The ground is bluish, the snowman grey.
    lit="abs(r-g) < 0.02 && abs(g-b) < 0.02 && r > 0.6 && r < 0.97"
    lit_pixels=$(count_in "$shot" 224x450+400+200 "$lit")
    rough=$(count_in "$shot" 224x450+400+200 \
        "$lit && abs(p[1,0].g-p[1,0].b) < 0.02 && abs(r-p[1,0].r) > 0.03")
    (( lit_pixels > 1000 && rough > lit_pixels / 4 )) ||
        fail "no snow relief on the snowman ($rough of $lit_pixels lit pixels)"
    # "N fps" in the upper left, white over the sky; 1 to 3 digits make it 110 to 185
    # pixels wide at this scale (a loaded machine may well draw fewer than 10 frames).
    read -r tw th tx ty < <(convert "$shot" -crop 300x80+0+0 +repage -fill black -fuzz 10% \
        +opaque white -trim -format "%w %h %X %Y" info:)
    (( tw >= 110 && tw <= 185 && th >= 20 && th <= 40 && tx < 60 && ty < 40 )) ||
        fail "frame-rate text is $tw x $th at $tx,$ty"
}

# expect_music FILE: the disk audio driver wrote the music, not silence, to FILE.
expect_music() {
    local loud
    [[ -s "$1" ]] || fail "nothing was written to the audio device"
    loud=$(od -An -v -t d2 -w2 "$1" | awk '{ v = $1 < 0 ? -$1 : $1; if (v > 1000) n++ } END { print n + 0 }')
    (( loud > 1000 )) || fail "the music is silent ($loud loud samples)"
}

case $case_name in
picture)
    run_demo
    win=$(wait_window snowdemo) || fail "no window"
    sleep 3  # past the first second, so the rate shown is a real count
    shot=$E2E_DIR/picture.png
    screenshot "$shot"
    expect_scene "$shot"
    end_with_escape "$win"
    ;;
keys)
    run_demo
    win=$(wait_window snowdemo) || fail "no window"
    sleep 1.5
    xdotool windowfocus --sync "$win" 2>/dev/null || true
    a=$E2E_DIR/a.png b=$E2E_DIR/b.png c=$E2E_DIR/c.png
    # Between the text and the horizon nothing moves while no key is held.
    screenshot "$a"
    sleep 0.5
    screenshot "$b"
    differs "$a" "$b" 300 60 724 70 && fail "the view changed with no key held"
    # A quarter turn brings the orange and the purple pyramid into view on the left.
    xdotool keydown Left
    sleep 1.6
    xdotool keyup Left
    sleep 0.3
    screenshot "$c"
    differs "$b" "$c" 300 60 724 70 || fail "holding Left did not turn the camera"
    orange=$(count_in "$c" 512x400+0+0 "r > 0.3 && g > 0.3*r && g < 0.7*r && b < 0.1")
    purple=$(count_in "$c" 1024x400+0+0 "b > 0.3 && r > 0.2*b && r < 0.6*b && g < 0.08")
    (( orange > 1000 && purple > 1000 )) || fail "pyramids not in view ($orange/$purple)"
    # About half a turn more, the sun: a pale yellow disc over the horizon, when it is low
    # enough to be in view.
    xdotool keydown Left
    sleep 2.2
    xdotool keyup Left
    found=0
    for i in 1 2 3 4 5 6; do
        screenshot "$E2E_DIR/sun.png"
        sun=$(count_in "$E2E_DIR/sun.png" 1024x400+0+0 "r > 0.95 && g > 0.95 && abs(b - 0.5) < 0.05")
        (( sun > 12 )) && { found=1; break; }
        sleep 0.4
    done
    (( found )) || fail "the sun never came into view"
    end_with_escape "$win"
    ;;
missing-bmp)
    rm "$rundir/textures/snow.bmp"
    run_demo
    dismiss_box Error
    win=$(wait_window snowdemo) || fail "no window after the dialog"
    sleep 1.5
    kill -0 "$DEMO_PID" 2>/dev/null || fail "the demo ended"
    # Outside game mode the box leaves no grab behind.
    [[ $(input_state) == "keyboard free pointer free "* ]] || fail "grabs after the box: $(input_state)"
    shot=$E2E_DIR/missing-bmp.png
    screenshot "$shot"
    near "$(pixel "$shot" 1000 60)" "$sky" || fail "the scene is not drawn"
    end_with_escape "$win"
    ;;
missing-font)
    rm "$rundir/textures/font.tga"
    # The box comes on the display the demo was given with -display, not on $DISPLAY's.
    DEMO_ARGS=(-display "$DISPLAY")
    run_demo DISPLAY=:65000
    dismiss_box ERROR
    win=$(wait_window snowdemo) || fail "no window after the dialog"
    sleep 1
    end_with_escape "$win"
    ;;
broken-shader)
    printf 'void main() { this is not glsl }\n' >"$rundir/kelvorin.vert"
    run_demo
    dismiss_box "Vertex Shader Compile Error"
    dismiss_box "Linking Error"
    # A program that did not link cannot take its uniforms: the frame says so every time.
    dismiss_box ERROR
    dismiss_box ERROR
    kill -9 "$DEMO_PID"
    wait "$DEMO_PID" 2>/dev/null
    DEMO_PID=
    ;;
missing-music)
    rm "$rundir/audio/coolestshitever.mp3"
    run_demo
    win=$(wait_window snowdemo) || fail "no window"
    sleep 1.5
    for caption in Error ERROR; do
        box_window "$caption" >/dev/null && fail "a dialog titled $caption appeared"
    done
    end_with_escape "$win"
    ;;
music)
    audio=$E2E_DIR/audio.raw
    start_demo "$binary" "$rundir" ASAN_OPTIONS=detect_leaks=0 SDL_AUDIODRIVER=disk \
        SDL_DISKAUDIOFILE="$audio"
    win=$(wait_window snowdemo) || fail "no window"
    sleep 3
    expect_music "$audio"
    end_with_escape "$win"
    ;;
installed)
    # Installed into a prefix that then moves, and started by its launcher from /: the
    # launcher finds the program and its data, so the whole scene and the music come,
    # with no dialog.
    install_moved "$SNOW_BUILD_DIR"
    audio=$E2E_DIR/audio.raw
    start_demo "$INSTALLED/bin/snowdemo" / ASAN_OPTIONS=detect_leaks=0 SDL_AUDIODRIVER=disk \
        SDL_DISKAUDIOFILE="$audio"
    win=$(wait_window snowdemo) || fail "no window; log: $(cat "$E2E_DIR/demo.log")"
    sleep 3
    for caption in Error ERROR; do
        box_window "$caption" >/dev/null && fail "a dialog titled $caption appeared"
    done
    shot=$E2E_DIR/installed.png
    screenshot "$shot"
    expect_scene "$shot"
    expect_music "$audio"
    end_with_escape "$win"
    ;;
sound-server)
    # Heard from the sink's monitor, the music is the tune as lame decodes it, and the
    # demo plays into the server no later than a second after the first frame.
    sound_server
    lame --quiet --decode -t "$rundir/audio/coolestshitever.mp3" "$E2E_DIR/tune.raw" ||
        fail "lame cannot decode the music"
    parec -d snow.monitor --raw --format=s16le --rate=44100 --channels=2 >"$E2E_DIR/heard.raw" &
    recorder=$!
    for _ in $(seq 1 50); do
        [[ -n $(pactl list short source-outputs) ]] && break
        sleep 0.1
    done
    launched=$(date +%s.%N)
    run_with_sound_server
    frame=$(first_frame_after "$launched") || fail "no picture; log: $(cat "$E2E_DIR/demo.log")"
    # demo_stream: the demo's stream on the server, as pactl lists it.
    demo_stream() { pactl list sink-inputs | awk -v RS= '/application.process.binary = "snowdemo"/'; }
    playing=
    for _ in $(seq 1 10); do
        demo_stream | grep -q 'Corked: no' && { playing=1; break; }
        sleep 0.1
    done
    [[ -n $playing ]] || fail "the demo plays nothing a second after its first frame (${frame} s)"
    sleep 3
    # What the server holds of the demo's stream, in its buffer and in the sink, is the
    # margin for a busy moment: with 46 ms the music broke up under load.
    held=0
    for _ in 1 2 3 4 5; do
        now=$(demo_stream | awk '/(Buffer|Sink) Latency:/ { us += $3 } END { print int(us / 1000) }')
        ((now > held)) && held=$now
        sleep 0.2
    done
    echo "first frame after ${frame} s; the server holds up to $held ms of the music"
    ((held >= 200)) || fail "the server holds only $held ms of the music"
    end_with_escape "$(wait_window snowdemo)"
    kill "$recorder"
    wait "$recorder" 2>/dev/null
    read -r start correlation < <("$tune_match" "$E2E_DIR/tune.raw" "$E2E_DIR/heard.raw")
    echo "the tune from ${start} s into the recording, correlation $correlation"
    [[ $start != none ]] || fail "nothing was heard; log: $(cat "$E2E_DIR/demo.log")"
    awk -v c="$correlation" 'BEGIN { exit !(c >= 0.99) }' ||
        fail "the music is not the tune (correlation $correlation)"
    [[ -s $E2E_DIR/demo.log ]] && fail "output on standard error: $(cat "$E2E_DIR/demo.log")"
    ;;
unrecognised-music)
    # 512 MiB that are no music, under the music's name, against no music file at all:
    # neither the first frame nor the peak memory may move by more than a small margin.
    sound_server
    for row in none sparse; do
        rm -f "$rundir/audio/coolestshitever.mp3"
        [[ $row == sparse ]] && truncate -s 512M "$rundir/audio/coolestshitever.mp3"
        launched=$(date +%s.%N)
        # Without the sanitizer's quarantine of freed blocks, whose growth with every
        # frame drawn would be most of the difference between two runs.
        run_with_sound_server ASAN_OPTIONS=detect_leaks=0:quarantine_size_mb=0
        frame=$(first_frame_after "$launched") || fail "$row: no picture; log: $(cat "$E2E_DIR/demo.log")"
        sleep 1
        peak=$(awk '/^VmHWM:/ { print $2 }' "/proc/$DEMO_PID/status")
        echo "$row: first frame after $frame s, peak resident memory $((peak / 1024)) MiB"
        printf -v "frame_$row" '%s' "$frame"
        printf -v "peak_$row" '%s' "$peak"
        end_with_escape "$(wait_window snowdemo)"
    done
    awk -v a="$frame_none" -v b="$frame_sparse" 'BEGIN { exit !(b - a < 1) }' ||
        fail "the first frame came ${frame_sparse} s after the start, ${frame_none} s without the file"
    ((peak_sparse - peak_none < 8 * 1024)) ||
        fail "peak memory $((peak_sparse / 1024)) MiB, $((peak_none / 1024)) MiB without the file"
    ;;
no-sound)
    # No sound server and, on this machine, no card: the demo runs silently and says
    # nothing about it.
    run_with_sound_server PULSE_SERVER="unix:$E2E_DIR/no-server"
    win=$(wait_window snowdemo) || fail "no window"
    sleep 2
    end_with_escape "$win"
    [[ -s $E2E_DIR/demo.log ]] && fail "output on standard error: $(cat "$E2E_DIR/demo.log")"
    ;;
game-mode-picture)
    # The screen shows 1024x768 and the picture fills it, centred: none of it drawn
    # beyond the screen's edge.
    run_demo
    wait_window FREEGLUT >/dev/null || fail "no game-mode window; log: $(cat "$E2E_DIR/demo.log")"
    sleep 3
    shot=$E2E_DIR/game-mode.png
    screenshot "$shot"
    [[ $(identify -format "%wx%h" "$shot") == 1024x768 ]] ||
        fail "the screen is $(identify -format "%wx%h" "$shot"), not the 1024x768 mode"
    expect_scene "$shot"
    xdotool key Escape
    wait_demo_exit 10
    [[ $DEMO_STATUS == 0 ]] || fail "exit status after Escape: $DEMO_STATUS"
    ;;
game-mode-box)
    rm "$rundir/textures/snow.bmp"
    run_demo
    answer_box Error
    win=$(wait_window FREEGLUT) || fail "no game-mode window after the dialog"
    sleep 1.5
    read -r _ _ ww _ < <(window_geometry "$win")
    shot=$E2E_DIR/after-box.png
    screenshot "$shot"
    near "$(pixel "$shot" $((ww - 5)) 60)" "$sky" || fail "the scene is not drawn after the box"
    [[ $(input_state) == "keyboard grabbed pointer grabbed "* ]] ||
        fail "game mode's grabs are not taken again: $(input_state)"
    xdotool key Escape
    wait_demo_exit 10
    [[ $DEMO_STATUS == 0 ]] || fail "exit status after Escape: $DEMO_STATUS"
    ;;
signals)
    # Each way out, and what the demo does when it comes: drawing frames, drawing with its
    # mode guard gone ("alone": the demo's own exit gives the mode back), showing a box, or
    # drawing after the user switched the screen to 800x600 ("user"). The demo switches
    # through RandR and game mode's VidMode; the helper's RandR switch alone ("randr", and
    # "randr-user" with the user's VidMode switch after it) is the one under a window
    # manager. The exit status is
    # the conventional one, and within 2 s the demo's processes (its mode guard included)
    # and windows are gone and the screen has its mode from before the demo's switch, for
    # RandR and VidMode alike; the user's 800x600 stays, after the guard too.
    ulimit -c 0
    desktop="1280x1024 1280x1024"
    # Back to the desktop's mode after a user's switch, in both extensions: a RandR switch
    # may leave VidMode reporting the mode before it, and xvidtune steps through its list.
    reset_modes() {
        xrandr -s 1280x1024
        for _ in 1 2 3 4; do
            sleep 0.3
            [[ $(screen_mode) == "$desktop" ]] && return
            xvidtune -next >/dev/null
        done
    }
    for row in "Escape frames 0" "INT alone 130" "TERM alone 143" "HUP alone 129" \
        "TERM box 143" "INT box 130" "HUP box 129" "KILL box 137" "KILL frames 137" "SEGV frames 139" \
        "xkill frames 1" "KILL user 137" "KILL randr 137" "KILL randr-user 137"; do
        read -r way doing status <<<"$row"
        [[ $(screen_mode) == "$desktop" ]] || fail "$row: the screen is not at its mode before the start: $(screen_mode)"
        fresh_rundir
        [[ $doing == box ]] && rm "$rundir/textures/snow.bmp"
        if [[ $doing == randr* ]]; then
            start_demo "$randr_switch" "$rundir" ASAN_OPTIONS=detect_leaks=0
            for _ in $(seq 1 50); do grep -q switched "$E2E_DIR/demo.log" && break; sleep 0.1; done
            [[ $(screen_mode) == "1024x768 "* ]] || fail "$row: no RandR switch: $(screen_mode)"
        else
            # The sanitizer would report the crash itself and end with 1. Without a session
            # bus libdbus would start one for SDL, and dbus-x11's window for it outlives the
            # demo.
            run_demo ASAN_OPTIONS=detect_leaks=0:handle_segv=0 \
                DBUS_SESSION_BUS_ADDRESS="unix:path=$E2E_DIR/no-session-bus"
            if [[ $doing == box ]]; then
                wait_box Error >/dev/null || fail "$row: no box"
            else
                win=$(wait_window FREEGLUT) || fail "$row: no window"
                sleep 1.5
            fi
            [[ $(screen_mode) == "1024x768 1024x768" ]] ||
                fail "$row: the demo did not switch: $(screen_mode)"
        fi
        guards=$(pgrep -c -P "$DEMO_PID" -x snowdemo-guard)
        ((guards == 1)) || fail "$row: $guards mode guards run"
        if [[ $doing == alone ]]; then
            pkill -KILL -P "$DEMO_PID" -x snowdemo-guard
            sleep 0.5
        fi
        pids=$(echo "$DEMO_PID" $(pgrep -P "$DEMO_PID"))
        [[ $doing != box || $(wc -w <<<"$pids") == 3 ]] || fail "$row: the box has no process of its own"
        expected=$desktop
        if [[ $doing == user ]]; then
            # VidMode may go on reporting the demo's mode after a RandR switch: the screen
            # is to stay as the user's switch left it.
            xrandr --output DUMMY0 --mode 800x600 || fail "$row: xrandr cannot switch"
            sleep 1
            expected=$(screen_mode)
            [[ $expected == "800x600 "* ]] || fail "$row: the user's switch gave $expected"
        elif [[ $doing == randr-user ]]; then
            before=$(screen_mode)
            xvidtune -prev >/dev/null || fail "$row: xvidtune cannot switch"
            sleep 1
            expected=$(screen_mode)
            [[ $expected != "$before" ]] || fail "$row: the user's switch changed nothing"
        fi
        case $way in
        Escape) xdotool key Escape ;;
        xkill) xkill -id "$win" >/dev/null ;;
        KILL | SEGV) kill "-$way" "$DEMO_PID" ;;
        # As from a terminal or a session's end: to all of the demo's processes.
        *) kill "-$way" $pids ;;
        esac
        deadline=$(($(date +%s%N) + 2000000000))
        while :; do
            gone=1
            for pid in $pids; do alive "$pid" && gone=0; done
            xwininfo -root -tree | grep -q '^ *0 children\.$' || gone=0
            [[ $(screen_mode) == "$expected" ]] || gone=0
            ((gone || $(date +%s%N) > deadline)) && break
            sleep 0.1
        done
        ((gone)) || fail "$row: 2 s after it: modes $(screen_mode), not $expected
$(ps -o pid=,stat=,comm= -p "$pids")
$(xwininfo -root -tree)"
        wait_demo_exit 1
        [[ $DEMO_STATUS == "$status" ]] ||
            fail "$row: exit status $DEMO_STATUS; log: $(cat "$E2E_DIR/demo.log")"
        [[ $doing == *user ]] && reset_modes
    done
    ;;
hostile-files)
    # Tiny files that once cost gigabytes or hung the start-up; each gives one box and
    # the demo goes on. Bytes are written little-endian.
    le() { printf "$(printf '\\x%02x' $(for ((i = 0; i < $2; i++)); do echo $((($1 >> 8 * i) & 255)); done))"; }
    # An RLE8 BMP of 1080 bytes declaring 37000 x 37000: its stream is just end-of-bitmap.
    rle_bomb() {
        { printf 'BM'; le 1080 4; le 0 4; le 1078 4
          le 40 4; le 37000 4; le 37000 4; le 1 2; le 8 2; le 1 4; le 2 4; le 0 16
          head -c 1024 /dev/zero; printf '\x00\x01'; } >"$1"
    }
    # The 18-byte head of an uncompressed 16384 x 16384 x 32 TGA, and no pixels.
    atlas_head() { { le 0 2; le 2 1; le 0 9; le 16384 2; le 16384 2; le 32 1; le 0 1; } >"$1"; }
    for row in "rle_bomb textures/stone.bmp Error" "atlas_head textures/font.tga ERROR" \
        "mkfifo textures/snow.bmp Error"; do
        read -r make file caption <<<"$row"
        fresh_rundir
        rm "$rundir/$file"
        "$make" "$rundir/$file"
        run_demo
        answer_box "$caption"
        win=$(wait_window FREEGLUT) || fail "$row: no game-mode window after the dialog"
        sleep 2
        for other in Error ERROR; do
            box_window "$other" >/dev/null && fail "$row: a second box, '$other'"
        done
        read -r _ _ ww _ < <(window_geometry "$win")
        shot=$E2E_DIR/hostile.png
        screenshot "$shot"
        near "$(pixel "$shot" $((ww - 5)) 60)" "$sky" || fail "$row: the scene is not drawn"
        peak=$(awk '/^VmHWM:/ { print $2 }' "/proc/$DEMO_PID/status")
        echo "$row: peak resident memory $((peak / 1024)) MB"
        ((peak < 600 * 1024)) || fail "$row: peak resident memory $((peak / 1024)) MB"
        xdotool key Escape
        wait_demo_exit 10
        [[ $DEMO_STATUS == 0 ]] || fail "$row: exit status after Escape: $DEMO_STATUS"
    done
    ;;
*)
    fail "unknown case $case_name"
    ;;
esac
echo "PASS: $case_name"
