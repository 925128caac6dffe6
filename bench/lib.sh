# The shared start of the measuring scripts: the bench build, then an Xvfb of their own
# (DISPLAY) that goes, with the demo in DEMO_PID if any, when the script ends. Source it.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
scripts/setup.sh bench >/dev/null

source scripts/xservers.sh
XVFB_PID=
DEMO_PID=
trap '[[ -n "$DEMO_PID" ]] && kill -9 "$DEMO_PID" 2>/dev/null; stop_pid "$XVFB_PID"' EXIT
start_xvfb
export DISPLAY=$XVFB_DISPLAY
