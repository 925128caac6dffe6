# Starting and stopping the X servers that run.sh and the tests use. Source it.
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
