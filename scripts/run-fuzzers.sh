#!/usr/bin/env bash
# Runs every libFuzzer target of the linux-fuzz build for a bounded time each, starting from
# the corpus kept in the repository (copied, so that the inputs found stay out of the tree).
# A crash fails the run and leaves its input in build/fuzz-artifacts.
#   scripts/run-fuzzers.sh [SECONDS_PER_TARGET]     (default 30)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-30}
bin=$root/build/linux-fuzz/tests/fuzz
work=$root/build/fuzz-work
artifacts=$root/build/fuzz-artifacts
mkdir -p "$artifacts"

status=0
for corpus in "$root"/tests/fuzz/corpus/*/; do
    target=$(basename "$corpus")
    [ -x "$bin/${target}_fuzz" ] || { echo "fuzz: no target ${target}_fuzz; build linux-fuzz" >&2; exit 1; }
    rm -rf "${work:?}/$target"
    mkdir -p "$work/$target"
    cp "$corpus"* "$work/$target/"
    echo "fuzz: $target for ${seconds}s"
    if ! "$bin/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$artifacts/$target-" "$work/$target" 2>"$work/$target.log"; then
        tail -n 40 "$work/$target.log" >&2
        echo "fuzz: $target FAILED; the input is in $artifacts" >&2
        status=1
    else
        grep -E '^(Done|stat::number_of_executed_units)' "$work/$target.log" || true
    fi
done
exit $status
