#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time on its seed
# corpus (fuzz/corpus/NAME). Usage: scripts/fuzz.sh [SECONDS_EACH]  (default 30)
# Without clang it says so and does nothing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-30}

if ! command -v clang++ >/dev/null; then
    echo "clang++ not found: fuzzing skipped"
    exit 0
fi
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

shopt -s nullglob
for fuzzer in build/fuzz/fuzz/*_fuzzer; do
    name=$(basename "$fuzzer")
    seeds=fuzz/corpus/$name
    work=build/fuzz/corpus/$name
    mkdir -p "$work"
    echo "Fuzzing $name for $seconds s"
    args=("$work")
    [[ -d "$seeds" ]] && args+=("$seeds")
    "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="build/fuzz/$name-" \
        "${args[@]}" 2>&1 | tail -n 12
done
