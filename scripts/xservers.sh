# Starting and stopping the X servers that run.sh, the benchmarks and the tests use, and
# running a program on one. Source it.
# Each server picks a free display itself (-displayfd) and is stopped by its pid.

_snow_x_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# _snow_wait_display FILE: the display number the server wrote to FILE, once it is ready.
_snow_wait_display() {
    local file=$1 pid=$2
    for _ in $(seq 1 100); do
        if [[ -s "$file" ]]; then
            cat "$file"
            return 0
        fi
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# _snow_start_server NAME COMMAND...: starts an X server that writes its display number
# to fd 3; sets NAME_PID and NAME_DISPLAY (":N").
_snow_start_server() {
    local name=$1 fdfile n pid
    shift
    fdfile=$(mktemp)
    "$@" -displayfd 3 3>"$fdfile" >/dev/null 2>&1 &
    pid=$!
    printf -v "${name}_PID" '%s' "$pid"
    n=$(_snow_wait_display "$fdfile" "$pid") || { rm -f "$fdfile"; return 1; }
    rm -f "$fdfile"
    printf -v "${name}_DISPLAY" ':%s' "$n"
}

# start_xvfb: sets XVFB_PID and XVFB_DISPLAY; screen 1024x768 at 24 bits.
start_xvfb() {
    _snow_start_server XVFB Xvfb -screen 0 1024x768x24 -nolisten tcp -noreset
}

# start_xorg_dummy: sets XORG_PID and XORG_DISPLAY; a server that can switch modes.
# Needs root (Xorg opens the console otherwise).
start_xorg_dummy() {
    local logdir
    logdir=$(mktemp -d)
    _snow_start_server XORG Xorg -config "$_snow_x_root/scripts/xorg-dummy.conf" -noreset \
        -nolisten tcp -novtswitch -sharevts -logfile "$logdir/Xorg.log"
}

# stop_pid PID: ends a server and waits for it.
stop_pid() {
    local pid=$1
    [[ -n "$pid" ]] || return 0
    kill "$pid" 2>/dev/null || return 0
    for _ in $(seq 1 50); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null || true
}

# start_program DIR LOG [ENV=VALUE ...] PROGRAM [ARGS ...]: PROGRAM started in DIR on the
# X server in DISPLAY, both its outputs in LOG (with LOG "-", the script's own); sets
# PROGRAM_PID. A script's background job ignores SIGINT; the program gets it as from a
# terminal.
start_program() {
    local dir=$1 log=$2
    shift 2
    if [[ $log == - ]]; then
        (cd "$dir" && exec env --default-signal=INT "$@") &
    else
        (cd "$dir" && exec env --default-signal=INT "$@") >"$log" 2>&1 &
    fi
    PROGRAM_PID=$!
}

# wait_exit PID SECONDS: waits up to SECONDS for the program started as PID to end; sets
# EXIT_STATUS to its exit status, or to "running" (and returns 1) when it has not ended.
wait_exit() {
    local pid=$1 tries=$(($2 * 10))
    EXIT_STATUS=running
    for _ in $(seq 1 "$tries"); do
        if ! kill -0 "$pid" 2>/dev/null; then
            EXIT_STATUS=0
            wait "$pid" || EXIT_STATUS=$?
            return 0
        fi
        sleep 0.1
    done
    return 1
}
