#!/usr/bin/env bash
# scripts/setup.sh as it decides what to install and how, with dpkg-query, apt-get,
# sudo, id and cmake replaced on PATH by recorders: nothing is installed or built. One
# row a situation; apt's lock is a real lock file another process holds for a while.
# Usage: setup_script.sh SOURCE_DIR
set -uo pipefail
source_dir=$1
fail() { echo "FAIL: $*" >&2; exit 1; }

work=$(mktemp -d)
holder=
trap '[[ -n $holder ]] && kill "$holder" 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/tree/scripts" "$work/bin"
cp "$source_dir/scripts/setup.sh" "$work/tree/scripts/"
cat >"$work/tree/scripts/packages.txt" <<'LIST'
[run]
# a comment line
pkg-ok
pkg-twice   # installed for two architectures
pkg-gone
pkg-removed
[test]
pkg-test
pkg-test-missing
LIST
log=$work/log

# The recorders: each appends its command line to the log the script's output goes to.
cat >"$work/bin/dpkg-query" <<'FAKE'
#!/bin/sh
[ -n "$FAKE_ALL_INSTALLED" ] && { printf 'installed\n'; exit 0; }
case $3 in
pkg-ok | pkg-test) printf 'installed\n' ;;
pkg-twice) printf 'installed\ninstalled\n' ;;
pkg-removed) printf 'config-files\n' ;;
*) echo "dpkg-query: no packages found matching $3" >&2; exit 1 ;;
esac
FAKE
cat >"$work/bin/apt-get" <<'FAKE'
#!/bin/sh
echo "apt-get $*" >>"$SETUP_LOG"
[ -n "$FAKE_APT_FAILS" ] && exit 100
# apt's lock: waited for as long as DPkg::Lock::Timeout says, else given up at once.
timeout=0
case " $* " in *" -o DPkg::Lock::Timeout="*) timeout=${*#*DPkg::Lock::Timeout=}; timeout=${timeout%% *} ;; esac
flock -w "$timeout" "$FAKE_LOCK" true || { echo "E: Could not get lock $FAKE_LOCK" >&2; exit 100; }
FAKE
cat >"$work/bin/sudo" <<'FAKE'
#!/bin/sh
echo "sudo $*" >>"$SETUP_LOG"
if [ "$1" = -n ]; then
    [ -n "$FAKE_SUDO_NEEDS_PASSWORD" ] && exit 1
    shift
fi
exec "$@"
FAKE
cat >"$work/bin/id" <<'FAKE'
#!/bin/sh
echo "$FAKE_UID"
FAKE
cat >"$work/bin/cmake" <<'FAKE'
#!/bin/sh
echo "cmake $*" >>"$SETUP_LOG"
FAKE
chmod +x "$work/bin"/*
export SETUP_LOG=$log FAKE_LOCK=$work/lock

# run ROW PRESET UID TERMINAL SUDO [APT]: setup.sh as user UID, at a terminal or not
# (TERMINAL: terminal | none), its sudo working without a password (SUDO: nopassword) or
# not, apt-get failing (APT: fails) or not; sets STATUS.
run() {
    local command="$work/tree/scripts/setup.sh $2"
    : >"$log"
    export FAKE_UID=$3 FAKE_SUDO_NEEDS_PASSWORD=yes FAKE_APT_FAILS=
    [[ $5 == nopassword ]] && FAKE_SUDO_NEEDS_PASSWORD=
    [[ ${6-} == fails ]] && FAKE_APT_FAILS=yes
    STATUS=0
    if [[ $4 == terminal ]]; then
        # script gives the set-up a terminal of its own; its lines end in CR LF there.
        PATH=$work/bin:$PATH script -qec "$command" /dev/null </dev/null 2>&1 |
            tr -d '\r' >>"$log"
        STATUS=${PIPESTATUS[0]}
    else
        PATH=$work/bin:$PATH $command </dev/null >>"$log" 2>&1 || STATUS=$?
    fi
}

# ROW|PRESET|UID|TERMINAL|SUDO: the packages expected on apt-get's install line, or
# "none" for no apt-get at all. SUDO: root, prompt (plain sudo) or nopassword (sudo -n).
while IFS='|' read -r row preset uid terminal sudo expected; do
    FAKE_ALL_INSTALLED=
    [[ $expected == none ]] && FAKE_ALL_INSTALLED=yes
    export FAKE_ALL_INSTALLED
    run "$row" "$preset" "$uid" "$terminal" "$sudo"
    [[ $STATUS == 0 ]] || fail "$row: status $STATUS; $(cat "$log")"
    grep -q "^cmake --build --preset $preset " "$log" || fail "$row: no $preset build: $(cat "$log")"
    apt_lines=$(grep '^apt-get ' "$log")
    if [[ $expected == none ]]; then
        [[ -z $apt_lines ]] || fail "$row: apt-get ran: $apt_lines"
        continue
    fi
    want="apt-get -o DPkg::Lock::Timeout=600 update -qq"$'\n'
    want+="apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends $expected"
    [[ $apt_lines == "$want" ]] || fail "$row: apt-get ran as: $apt_lines"
    calls=$(grep '^sudo ' "$log" | grep -vx 'sudo -n true')
    case $sudo in
    root) [[ -z $calls ]] || fail "$row: sudo as root: $calls" ;;
    prompt) [[ $calls == "sudo env "*$'\n'"sudo env "* ]] || fail "$row: not sudo with a prompt: $calls" ;;
    nopassword) [[ $calls == "sudo -n env "*$'\n'"sudo -n env "* ]] || fail "$row: not sudo -n: $calls" ;;
    esac
    grep -qx "Not installed yet: $expected" "$log" || fail "$row: the missing are not named: $(cat "$log")"
    # What it does is said before it is done (a terminal's output comes through a relay,
    # whose order against the recorders' is not kept).
    [[ $terminal == terminal ]] && continue
    said=$(grep -n "^Updating apt's package lists" "$log" | cut -d: -f1)
    first_apt=$(grep -n '^apt-get ' "$log" | head -n 1 | cut -d: -f1)
    [[ -n $said && $said -lt $first_apt ]] || fail "$row: not announced before apt-get: $(cat "$log")"
done <<'ROWS'
everything installed|release|0|none|root|none
missing as root|release|0|none|root|pkg-gone pkg-removed
the test group too|debug|0|none|root|pkg-gone pkg-removed pkg-test-missing
a user at a terminal|release|1000|terminal|prompt|pkg-gone pkg-removed
a user without a terminal|release|1000|none|nopassword|pkg-gone pkg-removed
ROWS

export FAKE_ALL_INSTALLED=
# A user whose sudo wants a password, without a terminal: the line to run, no apt, no build.
run "password needed" release 1000 none needs-password
[[ $STATUS == 1 ]] || fail "password needed: status $STATUS"
grep -qx '  sudo apt-get install -y --no-install-recommends pkg-gone pkg-removed' "$log" ||
    fail "password needed: no line to run: $(cat "$log")"
! grep -q '^apt-get \|^cmake ' "$log" || fail "password needed: went on: $(cat "$log")"

# apt-get failing stops the set-up before the build.
run "apt fails" release 0 none root fails
[[ $STATUS != 0 ]] || fail "apt-get failed and the set-up ended with 0"
! grep -q '^cmake ' "$log" || fail "apt-get failed and the build still ran"

# Another apt holds the lock for 3 s: the set-up waits for it and goes on.
flock "$FAKE_LOCK" sleep 3 &
holder=$!
sleep 0.5
run "apt busy" release 0 none root
[[ $STATUS == 0 ]] || fail "apt busy: status $STATUS; $(cat "$log")"
grep -q '^cmake --build --preset release' "$log" || fail "apt busy: no build after the wait"
echo "PASS"
