#!/usr/bin/env bash
# Times the engine against standard tools on the same page-cached file, in one run,
# alternating the two so that both see the same machine, and prints median ratios.
#
#   bash bench/run.sh [--size-mib N] [--runs N]
#
# Chunks: split into 5 MiB pieces, against GNU split -b 5M.
# Segment: copy the middle half, against dd with 1 MiB blocks.
# Also prints the engine's peak resident memory against the same driver running no job.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD

source bench/common.sh
usage="usage: bench/run.sh [--size-mib N] [--runs N]"
runs=21
parse_bench_options "$@"

bash scripts/install-deps.sh
cmake --preset linux >/dev/null
cmake --build --preset linux --target bench_driver >/dev/null
driver=$root/build/linux/bench/bench_driver

make_work_dir bench
trap 'rm -rf "$work"' EXIT
source_file=$work/source.bin
make_random_source "$source_file"

# Runs a command in a fresh output directory and prints its wall time in nanoseconds.
timed() {
    fresh_output_dir
    local started
    started=$(date +%s%N)
    "$@" >/dev/null
    echo $(($(date +%s%N) - started))
}

# Runs two commands alternately and prints "median_a median_b ratio best_ratio". This
# machine's timings scatter widely from run to run, so the medians decide; the ratio of the
# best times is shown beside them.
compare() {
    local -n first=$1 second=$2
    local a=() b=()
    for _ in $(seq "$runs"); do
        a+=("$(timed "${first[@]}")")
        b+=("$(timed "${second[@]}")")
    done
    local ma mb fa fb
    ma=$(printf '%s\n' "${a[@]}" | median)
    mb=$(printf '%s\n' "${b[@]}" | median)
    fa=$(printf '%s\n' "${a[@]}" | sort -n | head -1)
    fb=$(printf '%s\n' "${b[@]}" | sort -n | head -1)
    awk -v a="$ma" -v b="$mb" -v fa="$fa" -v fb="$fb" \
        'BEGIN { printf "%.1f ms %.1f ms %.3f %.3f\n", a / 1e6, b / 1e6, a / b, fa / fb }'
}

report() { # name, "ours_ms ms peer_ms ms ratio best_ratio", target
    set -- "$1" $2 "$3"
    printf '%-26s median ours %8s ms  peer %8s ms  ratio %s (target <= %s; best times %s)\n' \
        "$1" "$2" "$4" "$6" "$8" "$7"
}

echo "Chunks: ${size_mib} MiB into 5 MiB pieces, $runs runs each, alternating"
ours=("$driver" chunks "$source_file" "$work/out/piece" 5)
peer=(split -b 5M "$source_file" "$work/out/piece_")
# Check once that both cut the same pieces.
timed "${ours[@]}" >/dev/null
ours_count=$(ls "$work/out" | wc -l)
timed "${peer[@]}" >/dev/null
peer_count=$(ls "$work/out" | wc -l)
[ "$ours_count" = "$peer_count" ] || { echo "piece counts differ: $ours_count vs $peer_count" >&2; exit 1; }
report "chunks vs split -b 5M" "$(compare ours peer)" 1.0

half=$((size_mib * 1048576 / 2))
quarter=$((half / 2))
echo "Segment: the middle $((half / 1048576)) MiB, $runs runs each, alternating"
ours=("$driver" segment "$source_file" "$work/out/piece" "$quarter" "$((quarter + half))")
peer=(dd if="$source_file" of="$work/out/piece_0" bs=1M iflag=skip_bytes,count_bytes
      skip="$quarter" count="$half" status=none)
timed "${ours[@]}" >/dev/null
ours_sum=$(cksum <"$work/out/piece_0")
timed "${peer[@]}" >/dev/null
[ "$ours_sum" = "$(cksum <"$work/out/piece_0")" ] || { echo "segment copies differ" >&2; exit 1; }
report "segment vs dd bs=1M" "$(compare ours peer)" 1.0

echo "Memory: peak resident set of the driver"
idle_kib=$("$driver" idle --rss | awk '$1 == "peak_rss_kib" { print $2 }')
rm -rf "$work/out" && mkdir "$work/out"
job_kib=$("$driver" chunks "$source_file" "$work/out/piece" 5 --rss | awk '$1 == "peak_rss_kib" { print $2 }')
echo "  idle ${idle_kib} KiB, chunks job ${job_kib} KiB, difference $((job_kib - idle_kib)) KiB (target <= 2048)"
