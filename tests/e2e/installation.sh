#!/usr/bin/env bash
# The installed demo without a display: its launcher's --help and --version from /, the
# menu entry and the manual page as installed, and the Debian package.
# Usage: installation.sh CASE BUILD_DIR VERSION
#   CASE: options | desktop-entry | man-page | package
set -uo pipefail
source "$(dirname "$0")/lib.sh"
case_name=$1 build=$2 version=$3

install_moved "$build"
out=$E2E_DIR/out.txt err=$E2E_DIR/err.txt

# run_launcher ARGS...: the installed launcher from /, without a display; sets STATUS.
run_launcher() {
    STATUS=0
    (cd / && exec env -u DISPLAY ASAN_OPTIONS=detect_leaks=0 "$INSTALLED/bin/snowdemo" "$@") \
        >"$out" 2>"$err" || STATUS=$?
}

case $case_name in
options)
    # Answered before GLUT starts: no display is needed, even with GLUT's own options.
    for args in "--version" "-display :99 --version" "--version --help"; do
        run_launcher $args
        [[ $STATUS == 0 ]] || fail "$args: status $STATUS; $(cat "$err")"
        [[ $(cat "$out") == "snowdemo $version" ]] || fail "$args printed: $(cat "$out")"
        [[ ! -s $err ]] || fail "$args wrote to standard error: $(cat "$err")"
    done
    run_launcher --help
    [[ $STATUS == 0 ]] || fail "--help: status $STATUS; $(cat "$err")"
    [[ ! -s $err ]] || fail "--help wrote to standard error: $(cat "$err")"
    grep -q '^Usage: snowdemo ' "$out" || fail "no usage line: $(cat "$out")"
    for key in "Left, Right" "Up, Down" "Page Up, Page Down" "Escape"; do
        grep -q "^  $key  " "$out" || fail "--help does not list $key"
    done
    # The launcher has changed to the data directory before the program starts.
    grep -qxF "  $INSTALLED/share/snowdemo" "$out" || fail "--help shows another directory: $(cat "$out")"
    # A full output is a failure, not a silent success.
    (cd / && env -u DISPLAY ASAN_OPTIONS=detect_leaks=0 "$INSTALLED/bin/snowdemo" --version \
        >/dev/full 2>/dev/null) && fail "--version into a full device exited 0"
    # Without a display and without an information option, GLUT ends the program.
    run_launcher
    [[ $STATUS == 1 ]] || fail "without a display: status $STATUS"
    ;;
desktop-entry)
    entry=$INSTALLED/share/applications/snowdemo.desktop
    report=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $report"
    [[ -z $report ]] || fail "desktop-file-validate: $report"
    grep -qx 'Exec=snowdemo' "$entry" || fail "Exec is not the launcher"
    [[ -x $INSTALLED/bin/snowdemo ]] || fail "no launcher in bin/"
    grep -qx 'Icon=snowdemo' "$entry" || fail "Icon is not snowdemo"
    grep -Eq '^Categories=(.*;)?Game;' "$entry" || fail "not in the Game category"
    for size in 48 64 128 256; do
        icon=$INSTALLED/share/icons/hicolor/${size}x$size/apps/snowdemo.png
        [[ $(identify -format '%m %w %h' "$icon" 2>&1) == "PNG $size $size" ]] ||
            fail "$icon is not a $size-pixel PNG"
    done
    ;;
man-page)
    page=$INSTALLED/share/man/man6/snowdemo.6
    warnings=$(groff -man -ww -z "$page" 2>&1)
    [[ -z $warnings ]] || fail "groff warns: $warnings"
    text=$(MANWIDTH=80 man -l "$page" 2>"$err") || fail "man failed: $(cat "$err")"
    [[ ! -s $err ]] || fail "man warns: $(cat "$err")"
    for expected in NAME SYNOPSIS DESCRIPTION OPTIONS KEYS FILES "EXIT STATUS" ENVIRONMENT; do
        grep -qx "$expected" <<<"$text" || fail "no section $expected"
    done
    for expected in --help --version Escape "Page Up" textures/font.tga audio/coolestshitever.mp3 \
        DISPLAY SDL_AUDIODRIVER "snowdemo $version" snowdemo-guard "(SIGTERM)"; do
        grep -qF -- "$expected" <<<"$text" || fail "the page does not mention $expected"
    done
    ;;
package)
    # Built the way the README says, into a directory of its own.
    cpack -G DEB --config "$build/CPackConfig.cmake" -B "$E2E_DIR/package" \
        >"$E2E_DIR/cpack.log" 2>&1 || fail "cpack failed: $(cat "$E2E_DIR/cpack.log")"
    deb=$E2E_DIR/package/snowdemo_${version}_$(dpkg --print-architecture).deb
    [[ -f $deb ]] || fail "no $deb: $(ls "$E2E_DIR/package")"
    # Dependencies come from the libraries the program links.
    depends=$(dpkg-deb -f "$deb" Depends)
    for library in libc6 libsdl2-mixer-2.0-0 libglut libglu; do
        grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
    done
    contents=$(dpkg-deb -c "$deb" | awk '{ print $NF }')
    for path in usr/bin/snowdemo usr/libexec/snowdemo/snowdemo usr/share/snowdemo/kelvorin.vert \
        usr/share/snowdemo/audio/coolestshitever.mp3 usr/share/applications/snowdemo.desktop \
        usr/share/icons/hicolor/48x48/apps/snowdemo.png usr/share/man/man6/snowdemo.6.gz \
        usr/share/doc/snowdemo/copyright usr/share/doc/snowdemo/changelog.gz; do
        grep -qx "./$path" <<<"$contents" || fail "the package lacks $path"
    done
    lintian --no-tag-display-limit "$deb" >"$E2E_DIR/lintian.txt" 2>/dev/null
    cat "$E2E_DIR/lintian.txt"
    ! grep -q '^E:' "$E2E_DIR/lintian.txt" || fail "lintian reports errors"
    ;;
*)
    fail "unknown case $case_name"
    ;;
esac
echo "PASS: $case_name"
