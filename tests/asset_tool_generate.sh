#!/usr/bin/env bash
# The real asset tool: `generate` twice gives the same bytes in every file; the help and
# usage errors.
# Usage: asset_tool_generate.sh SNOWDEMO_ASSETS WORKDIR
set -uo pipefail
tool=$1 work=$2
files=(textures/font.tga textures/snow.bmp textures/normalmapsnow.bmp textures/stone.bmp
       audio/coolestshitever.mp3)
for size in 48 64 128 256; do files+=("icons/hicolor/${size}x$size/apps/snowdemo.png"); done
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work"
start=$(date +%s%N)
"$tool" generate "$work/first" >"$work/first.log" || fail "first run: $(cat "$work/first.log")"
end=$(date +%s%N)
echo "generate took $(((end - start) / 1000000)) ms"
"$tool" generate "$work/second" >/dev/null || fail "second run failed"
for f in "${files[@]}"; do
    [[ -s $work/first/$f ]] || fail "$f missing or empty"
    cmp "$work/first/$f" "$work/second/$f" || fail "$f differs between two runs"
    grep -qx "wrote $f ([0-9]* bytes)" "$work/first.log" || fail "no line for $f"
done
leftovers=$(find "$work" -name '*.part')
[[ -z $leftovers ]] || fail "partial files left: $leftovers"

"$tool" --help >"$work/help.txt" || fail "--help failed"
grep -q "generate DIR" "$work/help.txt" || fail "--help does not list generate"
"$tool" generate 2>"$work/usage.txt"
[[ $? == 2 ]] || fail "generate without DIR should exit 2"
grep -q "Usage: snowdemo-assets generate DIR" "$work/usage.txt" || fail "no usage line"
"$tool" frobnicate 2>/dev/null
[[ $? == 2 ]] || fail "an unknown command should exit 2"
"$tool" 2>/dev/null
[[ $? == 2 ]] || fail "no command should exit 2"

rm -rf "$work"
echo "PASS"
