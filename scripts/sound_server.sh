# A PulseAudio server of one's own for the tests and the measuring scripts: a null sink
# whose monitor can be recorded, in a private runtime directory, with none of the
# machine's or the user's configuration. Source it.

# start_sound_server DIR: starts the server with its state under DIR (made if missing);
# sets SOUND_PID and exports PULSE_SERVER, so the programs started afterwards play into
# its sink, "snow", whose monitor is "snow.monitor". Under root PulseAudio warns that it
# is not meant for root and runs all the same; the warning goes to DIR/pulse.log.
start_sound_server() {
    local dir=$1
    mkdir -p "$dir/runtime" "$dir/state" "$dir/home"
    chmod 700 "$dir/runtime"
    # -n: no default script, so the machine's default.pa loads no module (no card, no
    # X11 bell, no D-Bus); the environment keeps the server and its clients off the
    # user's own directories.
    HOME=$dir/home XDG_RUNTIME_DIR=$dir/runtime PULSE_RUNTIME_PATH=$dir/runtime \
        PULSE_STATE_PATH=$dir/state \
        pulseaudio -n --daemonize=no --use-pid-file=no --exit-idle-time=-1 \
        --disallow-module-loading --log-target=stderr \
        -L "module-null-sink sink_name=snow rate=44100 channels=2" \
        -L "module-native-protocol-unix auth-anonymous=1 socket=$dir/runtime/native" \
        >"$dir/pulse.log" 2>&1 &
    SOUND_PID=$!
    export PULSE_SERVER=unix:$dir/runtime/native
    for _ in $(seq 1 100); do
        pactl info >/dev/null 2>&1 && return 0
        kill -0 "$SOUND_PID" 2>/dev/null || break
        sleep 0.1
    done
    return 1
}
