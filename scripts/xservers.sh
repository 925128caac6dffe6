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

# start_xvfb: sets XVFB_PID and XVFB_DISPLAY (":N"); screen 1024x768 at 24 bits.
start_xvfb() {
    local fdfile
    fdfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fdfile" \
        >/dev/null 2>&1 &
    XVFB_PID=$!
    local n
    n=$(_snow_wait_display "$fdfile" "$XVFB_PID") || { rm -f "$fdfile"; return 1; }
    rm -f "$fdfile"
    XVFB_DISPLAY=":$n"
}

# start_xorg_dummy: sets XORG_PID and XORG_DISPLAY; a server that can switch modes.
# Needs root (Xorg opens the console otherwise).
start_xorg_dummy() {
    local fdfile logdir
    fdfile=$(mktemp)
    logdir=$(mktemp -d)
    Xorg -displayfd 3 -config "$_snow_x_root/scripts/xorg-dummy.conf" -noreset -nolisten tcp \
        -novtswitch -sharevts -logfile "$logdir/Xorg.log" 3>"$fdfile" >/dev/null 2>&1 &
    XORG_PID=$!
    local n
    n=$(_snow_wait_display "$fdfile" "$XORG_PID") || { rm -f "$fdfile"; return 1; }
    rm -f "$fdfile"
    XORG_DISPLAY=":$n"
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
