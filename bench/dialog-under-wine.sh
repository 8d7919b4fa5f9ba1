#!/usr/bin/env bash
# Times a Chunks split driven through the real dialog under Wine against the console
# driver under Wine, on the same page-cached file in the same run, alternating, and prints
# the median ratio. The difference is what the dialog costs: one synchronous progress
# report per megabyte, answered by the dialog's thread.
#
#   bash bench/dialog-under-wine.sh [--size-mib N] [--runs N]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD

source bench/common.sh
usage="usage: bench/dialog-under-wine.sh [--size-mib N] [--runs N]"
runs=15
parse_bench_options "$@"

bash scripts/install-deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target bench_driver dialog_bench >/dev/null
console=$root/build/win64/bench/bench_driver.exe
dialog_program=$root/build/win64/bench/dialog_bench.exe

source scripts/virtual-display.sh
start_virtual_display
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix} WINEDEBUG=-all
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
    stop_virtual_display
}
make_work_dir bench-wine
trap cleanup EXIT
wineserver -p
scripts/wine-run wineboot
make_random_source "$work/source.bin"

windows_path() { printf 'Z:%s' "${1//\//\\}"; }
source_file=$(windows_path "$work/source.bin")
prefix=$(windows_path "$work/out/piece")

# Runs a program that prints "job_ms N" and prints N: the job's own time, from its start to
# "Done!  ", without the time Wine takes to start a process.
timed() {
    fresh_output_dir
    scripts/wine-run "$@" | tr -d '\r' | awk '$1 == "job_ms" { print $2 }'
}

dialog_times=()
console_times=()
for _ in $(seq "$runs"); do
    dialog_times+=("$(timed "$dialog_program" "$source_file" "$prefix")")
    count=$(ls "$work/out" | wc -l)
    [ "$count" -eq $(((size_mib + 4) / 5)) ] || { echo "the dialog wrote $count pieces" >&2; exit 1; }
    console_times+=("$(timed "$console" chunks "$source_file" "$prefix" 5)")
done
echo "dialog (ms):  ${dialog_times[*]}"
echo "console (ms): ${console_times[*]}"
d=$(printf '%s\n' "${dialog_times[@]}" | median)
c=$(printf '%s\n' "${console_times[@]}" | median)
awk -v d="$d" -v c="$c" -v runs="$runs" -v mib="$size_mib" 'BEGIN {
    printf "Chunks, %d MiB under Wine, %d runs each, alternating\n", mib, runs
    printf "dialog vs console driver   median dialog %8.1f ms  console %8.1f ms  ratio %.3f (target <= 1.10)\n",
           d, c, d / c }'
