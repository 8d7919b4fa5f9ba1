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

size_mib=1024
runs=21
while [ $# -gt 0 ]; do
    case $1 in
    --size-mib) size_mib=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    *) echo "usage: bench/run.sh [--size-mib N] [--runs N]" >&2; exit 2 ;;
    esac
done

bash scripts/install-deps.sh
cmake --preset linux >/dev/null
cmake --build --preset linux --target bench_driver >/dev/null
driver=$root/build/linux/bench/bench_driver

# In memory when there is room: the source is then page-cached by definition and the
# disk's writeback, which comes and goes between runs, does not drown the difference
# between the programs.
work=$root/build/bench
shm_free_mib=$(df -Pm /dev/shm 2>/dev/null | awk 'NR == 2 { print $4 }')
if [ -n "$shm_free_mib" ] && [ "$shm_free_mib" -gt $((size_mib * 3 + 256)) ]; then
    work=/dev/shm/quorvex-bench
fi
echo "Working in $work"
rm -rf "$work"
mkdir -p "$work"
source_file=$work/source.bin
echo "Making a ${size_mib} MiB source..."
head -c $((size_mib * 1048576)) /dev/urandom >"$source_file"
cat "$source_file" >/dev/null # into the page cache

now_ns() { date +%s%N; }

# Runs a command in a fresh output directory and prints its wall time in nanoseconds.
timed() {
    rm -rf "$work/out"
    mkdir "$work/out"
    sync
    local started
    started=$(now_ns)
    "$@" >/dev/null
    echo $(($(now_ns) - started))
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

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

rm -rf "$work"
