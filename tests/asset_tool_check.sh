#!/usr/bin/env bash
# The real asset tool's `check` on what `generate` wrote: every file through the demo's
# own readers, with the font run-length encoded at 32 bits, the stone RLE8 and the music's
# length; then the messages the demo would show for a missing and a broken file.
# Usage: asset_tool_check.sh SNOWDEMO_ASSETS SHADER_DIR WORKDIR
set -uo pipefail
tool=$1 shaders=$2 work=$3
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work"
"$tool" generate "$work/run" >/dev/null || fail "generate failed"
cp "$shaders/kelvorin.vert" "$shaders/kelvorin.frag" "$work/run/"

"$tool" check "$work/run" >"$work/check.txt" 2>&1 || fail "check failed: $(cat "$work/check.txt")"
expected=$(cat <<'LINES'
textures/font.tga            512 x 512, 32 bits, GL_RGBA, run-length encoded (type 10)
textures/normalmapsnow.bmp   256 x 256, GL_RGB
textures/snow.bmp            256 x 256, GL_RGB
textures/stone.bmp           256 x 256, GL_RGB
LINES
)
[[ $(head -n 4 "$work/check.txt") == "$expected" ]] || fail "unexpected check: $(cat "$work/check.txt")"
grep -Eq '^kelvorin.vert +[1-9][0-9]* bytes of GLSL source$' "$work/check.txt" || fail "no vertex line"
grep -Eq '^kelvorin.frag +[1-9][0-9]* bytes of GLSL source$' "$work/check.txt" || fail "no fragment line"
music=$(grep -E '^audio/coolestshitever.mp3 +opens as a music stream, [0-9.]+ s long$' "$work/check.txt") ||
    fail "no music line"
# Played six times, the music lasts twelve minutes at least.
seconds=$(sed -E 's/.*, ([0-9]+)\.[0-9] s long$/\1/' <<<"$music")
((seconds >= 120)) || fail "the music is only $seconds s long"

# The stone is stored 8 bits a pixel, run-length encoded (compression 1).
read -r bits compression < <(od -An -t u2 -j 28 -N 4 "$work/run/textures/stone.bmp")
[[ "$bits $compression" == "8 1" ]] || fail "stone is $bits bits, compression $compression"

# What the demo would show instead, and status 1. FIFOs without a writer are refused at
# once instead of blocking the check.
rm "$work/run/textures/snow.bmp"
head -c 100 "$work/run/textures/font.tga" >"$work/short.tga"
mv "$work/short.tga" "$work/run/textures/font.tga"
rm "$work/run/kelvorin.frag" "$work/run/audio/coolestshitever.mp3"
mkfifo "$work/run/kelvorin.frag" "$work/run/audio/coolestshitever.mp3"
(cd "$work" && timeout 30 "$tool" check run >"$work/broken.txt" 2>&1)
[[ $? == 1 ]] || fail "check of broken files should exit 1: $(cat "$work/broken.txt")"
# The cut falls inside a run packet's pixel.
grep -qx 'textures/font.tga            ERROR: Could not read from file' "$work/broken.txt" ||
    fail "no font message: $(cat "$work/broken.txt")"
grep -qx 'textures/snow.bmp            Error: Failed to open DIB file textures/snow.bmp.' \
    "$work/broken.txt" || fail "no snow message: $(cat "$work/broken.txt")"
grep -qx 'textures/stone.bmp           256 x 256, GL_RGB' "$work/broken.txt" ||
    fail "the other files should still load"
grep -Eqx 'kelvorin.frag +ERROR: Cannot open shader file!' "$work/broken.txt" ||
    fail "no shader message: $(cat "$work/broken.txt")"
grep -Eqx 'audio/coolestshitever.mp3 +cannot be opened as a music stream: the demo runs silently' \
    "$work/broken.txt" || fail "no music line: $(cat "$work/broken.txt")"

rm -rf "$work"
echo "PASS"
