# Sourced by the benchmark scripts: their options, a place for the files, a random source
# in the page cache, and medians. Expects `usage` and `runs` to be set by the caller.

# Reads --size-mib N and --runs N into size_mib and runs.
parse_bench_options() {
    size_mib=1024
    while [ $# -gt 0 ]; do
        case $1 in
        --size-mib) size_mib=$2; shift 2 ;;
        --runs) runs=$2; shift 2 ;;
        *) echo "$usage" >&2; exit 2 ;;
        esac
    done
}

# Sets `work` to an empty directory named `name`: in memory when there is room, so that the
# source is page-cached by definition and the disk's writeback, which comes and goes between
# runs, does not drown the difference between the programs.
make_work_dir() {
    local name=$1
    work=$root/build/$name
    local shm_free_mib
    shm_free_mib=$(df -Pm /dev/shm 2>/dev/null | awk 'NR == 2 { print $4 }')
    if [ -n "$shm_free_mib" ] && [ "$shm_free_mib" -gt $((size_mib * 3 + 256)) ]; then
        work=/dev/shm/quorvex-$name
    fi
    rm -rf "$work"
    mkdir -p "$work"
}

# Writes size_mib MiB of random bytes to the file and reads them once into the page cache.
make_random_source() {
    echo "Making a ${size_mib} MiB source in $(dirname "$1")..."
    head -c $((size_mib * 1048576)) /dev/urandom >"$1"
    cat "$1" >/dev/null
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Empties the output directory and flushes the disk, so each run starts from the same state.
fresh_output_dir() {
    rm -rf "$work/out"
    mkdir "$work/out"
    sync
}
