#!/usr/bin/env bash
# The installed demo: its launcher's options from / (on a private X server where they
# need one), the menu entry, the software-centre metadata and the manual page as
# installed, and the Debian package of a hardened release build made here.
# Usage: installation.sh CASE BUILD_DIR VERSION
#   CASE: options | desktop-entry | metainfo | man-page | package
set -uo pipefail
source "$(dirname "$0")/lib.sh"
case_name=$1 build=$2 version=$3
source_dir=$(cd "$(dirname "$0")/../.." && pwd)

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
    for help in --help -h; do
        run_launcher $help
        [[ $STATUS == 0 ]] || fail "$help: status $STATUS; $(cat "$err")"
        [[ ! -s $err ]] || fail "$help wrote to standard error: $(cat "$err")"
        grep -q '^Usage: snowdemo ' "$out" || fail "$help: no usage line: $(cat "$out")"
        for key in "Left, Right" "Up, Down" "Page Up, Page Down" "Escape"; do
            grep -q "^  $key  " "$out" || fail "$help does not list $key"
        done
        # The launcher has changed to the data directory before the program starts.
        grep -qxF "  $INSTALLED/share/snowdemo" "$out" || fail "$help shows another directory: $(cat "$out")"
        grep -q 'any other argument is refused with status 2' "$out" || fail "$help does not say what is refused"
    done
    # Every file installed for the demo to read is named, with what it is for.
    while read -r file; do
        awk -v file="$file" '$1 == file && NF > 1 { found = 1 } END { exit !found }' "$out" ||
            fail "--help does not list $file: $(cat "$out")"
    done < <(cd "$INSTALLED/share/snowdemo" && find . -type f -printf '%P\n')
    # A full output is a failure, not a silent success.
    (cd / && env -u DISPLAY ASAN_OPTIONS=detect_leaks=0 "$INSTALLED/bin/snowdemo" --version \
        >/dev/full 2>/dev/null) && fail "--version into a full device exited 0"
    # Without a display and without an information option, GLUT ends the program; an
    # option GLUT cannot have (two dashes) is refused before that.
    run_launcher
    [[ $STATUS == 1 ]] || fail "without a display: status $STATUS"
    run_launcher -sync --verison
    [[ $STATUS == 2 ]] || fail "--verison without a display: status $STATUS; $(cat "$err")"
    [[ $(cat "$err") == "snowdemo: unknown option '--verison'"$'\n'"Try 'snowdemo --help'." ]] ||
        fail "--verison without a display wrote: $(cat "$err")"

    # What GLUT leaves of the arguments once it has its display: anything is refused
    # before a window opens; GLUT's own options, with -display naming the server, run
    # the demo, which Escape ends.
    start_server xvfb
    display=$DISPLAY
    while read -r expected args; do
        (cd / && exec env -u DISPLAY ASAN_OPTIONS=detect_leaks=0 "$INSTALLED/bin/snowdemo" \
            -display "$display" $args) >"$out" 2>"$err" &
        DEMO_PID=$!
        window=$(wait_window snowdemo 20) && [[ $expected == runs ]] && xdotool key Escape
        wait_demo_exit 20
        [[ $DEMO_STATUS != running ]] || fail "$args: the demo did not end"
        if [[ $expected == refused ]]; then
            [[ -z $window ]] || fail "$args opened a window"
            [[ $DEMO_STATUS == 2 ]] || fail "$args: status $DEMO_STATUS, not 2"
            [[ $(cat "$err") == "snowdemo: unknown option '${args##* }'"$'\n'"Try 'snowdemo --help'." ]] ||
                fail "$args wrote: $(cat "$err")"
            [[ ! -s $out ]] || fail "$args wrote to standard output: $(cat "$out")"
        else
            [[ -n $window ]] || fail "-display $display $args: no window; $(cat "$err")"
            [[ $DEMO_STATUS == 0 ]] || fail "-display $display $args: status $DEMO_STATUS; $(cat "$err")"
        fi
    done <<'ROWS'
refused --verison
refused -sync -x
refused -geometry 800x600+0+0 windowed
runs -sync
runs -geometry 640x480+0+0
ROWS
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
metainfo)
    metainfo=("$INSTALLED"/share/metainfo/*.metainfo.xml)
    [[ ${#metainfo[@]} == 1 && -f ${metainfo[0]} ]] || fail "not one metainfo file: ${metainfo[*]}"
    report=$(appstreamcli validate --pedantic --no-color "${metainfo[0]}" 2>&1) ||
        fail "appstreamcli validate: $report"
    ! grep -Eq '^[EW]:' <<<"$report" || fail "appstreamcli validate: $report"
    # Software centres find the file by its id and the menu entry by the launchable.
    id=$(sed -n 's|.*<id>\(.*\)</id>.*|\1|p' "${metainfo[0]}")
    [[ ${metainfo[0]##*/} == "$id.metainfo.xml" ]] || fail "${metainfo[0]##*/} is not named after $id"
    launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "${metainfo[0]}")
    [[ -n $launchable && -f $INSTALLED/share/applications/$launchable ]] ||
        fail "the launchable '$launchable' is no installed menu entry"
    grep -q "<release version=\"$version\" date=\"[0-9-]*\"" "${metainfo[0]}" ||
        fail "no release $version in ${metainfo[0]}"
    # Parental controls in software centres go by the content rating, which the
    # validator does not ask for.
    grep -q '<content_rating type="oars-1.1"' "${metainfo[0]}" || fail "no OARS content rating"
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
        DISPLAY SDL_AUDIODRIVER "snowdemo $version" -geometry "snowdemo: unknown option 'ARG'" \
        "Try 'snowdemo --help'." "128 + N" mesa-utils /usr/games \
        snowdemo-guard SIGHUP; do
        grep -qF -- "$expected" <<<"$text" || fail "the page does not mention $expected"
    done
    ;;
package)
    # Built the way the README says, from a release build of its own: the hardened one.
    release=$E2E_DIR/release
    (cd "$source_dir" && cmake --preset release -B "$release" && cmake --build "$release" -j 2) \
        >"$E2E_DIR/build.log" 2>&1 ||
        fail "the release build failed: $(tail -n 20 "$E2E_DIR/build.log")"
    cpack -G DEB --config "$release/CPackConfig.cmake" -B "$E2E_DIR/package" \
        >"$E2E_DIR/cpack.log" 2>&1 || fail "cpack failed: $(cat "$E2E_DIR/cpack.log")"
    deb=$E2E_DIR/package/snowdemo_${version}_$(dpkg --print-architecture).deb
    [[ -f $deb ]] || fail "no $deb: $(ls "$E2E_DIR/package")"
    # Dependencies come from the libraries the program links.
    depends=$(dpkg-deb -f "$deb" Depends)
    for library in libc6 libsdl2-mixer-2.0-0 libglut libglu; do
        grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
    done
    # Section, manual section and menu category all say games.
    [[ $(dpkg-deb -f "$deb" Section) == games ]] || fail "Section is $(dpkg-deb -f "$deb" Section)"
    contents=$(dpkg-deb -c "$deb" | awk '{ print $NF }')
    for path in usr/games/snowdemo usr/libexec/snowdemo/snowdemo usr/share/snowdemo/kelvorin.vert \
        usr/share/snowdemo/audio/coolestshitever.mp3 usr/share/applications/snowdemo.desktop \
        usr/share/icons/hicolor/48x48/apps/snowdemo.png usr/share/man/man6/snowdemo.6.gz \
        usr/share/doc/snowdemo/copyright usr/share/doc/snowdemo/changelog.gz; do
        grep -qx "./$path" <<<"$contents" || fail "the package lacks $path"
    done
    grep -q '^\./usr/share/metainfo/.*\.metainfo\.xml$' <<<"$contents" || fail "the package lacks its metainfo"
    # The package holds the demo's own files only: nothing of the test data.
    ! grep -Eiq 'bmpsuite|/tests?/|\.(gtest|supp)$' <<<"$contents" || fail "test files in the package: $contents"
    # The copyright's project licence is the LICENSE file's, word for word.
    dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/snowdemo/copyright >"$E2E_DIR/copyright"
    licence=$(sed -n '/^Permission/,$p' "$source_dir/LICENSE")
    in_copyright=$(awk 'previous == "" && $0 == "License: Expat" { body = 1; next }
        body && !/^ / { exit } body { sub(/^ /, ""); if ($0 == ".") $0 = ""; print }
        { previous = $0 }' "$E2E_DIR/copyright")
    [[ -n $licence && $in_copyright == "$licence" ]] || fail "the copyright's Expat text is not LICENSE's"
    grep -qx 'License: bitstream-vera' "$E2E_DIR/copyright" || fail "no DejaVu licence in the copyright"
    lintian --pedantic -I -E --tag-display-limit 0 "$deb" >"$E2E_DIR/lintian.txt" 2>/dev/null
    cat "$E2E_DIR/lintian.txt"
    ! grep -Eq '^[EW]:|hardening' "$E2E_DIR/lintian.txt" || fail "lintian reports errors, warnings or hardening tags"
    ;;
*)
    fail "unknown case $case_name"
    ;;
esac
echo "PASS: $case_name"
