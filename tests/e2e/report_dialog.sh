#!/usr/bin/env bash
# The real report dialog under Xvfb: each box shows its caption as the window title,
# the report call stays blocked until the box is dismissed with Return, and a second
# report shows only after the first one returned.
# Usage: report_dialog.sh HELPER
set -uo pipefail
source "$(dirname "$0")/lib.sh"
helper=$1
out=$E2E_DIR/helper.out

start_server xvfb
# The helper stands in for the demo in lib.sh's clean-up and wait_demo_exit.
"$helper" "Shader Trouble" "Cannot open shader file!" "Linking Error" "second box" >"$out" 2>&1 &
DEMO_PID=$!

# dismiss CAPTION [NEXT]: the box called CAPTION is shown while its call still blocks
# and the box called NEXT is not shown yet; Return closes it and the call returns.
dismiss() {
    local caption=$1 next=${2:-} win
    win=$(wait_box "$caption") || fail "$(no_box_reason "$caption" "$out")"
    sleep 1
    kill -0 "$DEMO_PID" 2>/dev/null || fail "the helper ended while '$caption' was shown"
    grep -q "returned: $caption" "$out" && fail "the report returned before '$caption' was dismissed"
    if [[ -n $next ]] && box_window "$next" >/dev/null; then
        fail "'$next' is shown before '$caption' was dismissed"
    fi
    xdotool windowfocus --sync "$win" || fail "cannot focus '$caption'"
    xdotool key Return
    for _ in $(seq 1 50); do
        grep -q "returned: $caption" "$out" && break
        sleep 0.1
    done
    grep -q "returned: $caption" "$out" || fail "Return did not dismiss '$caption'"
}

dismiss "Shader Trouble" "Linking Error"
dismiss "Linking Error"
wait_demo_exit 10
[[ $DEMO_STATUS == 0 ]] || fail "helper exit status $DEMO_STATUS; output: $(cat "$out")"
[[ $(cat "$out") == $'returned: Shader Trouble\nreturned: Linking Error' ]] ||
    fail "unexpected output: $(cat "$out")"
echo "PASS"
