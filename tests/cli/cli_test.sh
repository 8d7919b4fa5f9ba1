#!/usr/bin/env bash
# quorvex-cli end to end, on real files in a scratch directory:
#
#   cli_test.sh native PROGRAM
#   cli_test.sh wine RUNNER PROGRAM.exe      (RUNNER: scripts/wine-run)
#
# Every name given to the program is relative to the scratch directory, so the same cases
# run natively and under Wine. Prints one line per failed check and exits non-zero if any.
set -uo pipefail

mode=${1:?native or wine}
shift
[ $# -gt 0 ] || { echo "usage: cli_test.sh native|wine COMMAND..." >&2; exit 2; }
# The command's own files stay reachable from the scratch directory.
cli=()
for word in "$@"; do
    [ -e "$word" ] && word=$(cd "$(dirname "$word")" && pwd)/$(basename "$word")
    cli+=("$word")
done

work=$(mktemp -d "${TMPDIR:-/tmp}/quorvex-cli-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

MIB=1048576
failures=0
checks=0
current=""

fail() {
    echo "FAIL [$current]: $*" >&2
    failures=$((failures + 1))
}

# Runs the program with the given arguments. Leaves its exit status in $status and its
# stdout and stderr in out.txt and err.txt, with the carriage returns of Windows line ends
# taken out.
run() {
    "${cli[@]}" "$@" >out.raw 2>err.raw
    status=$?
    tr -d '\r' <out.raw >out.txt
    tr -d '\r' <err.raw >err.txt
}

expect_status() {
    checks=$((checks + 1))
    [ "$status" = "$1" ] || fail "exit status $status, expected $1; stderr: $(cat err.txt)"
}

# The whole of stderr must be exactly this (one line, or nothing for "").
expect_stderr() {
    checks=$((checks + 1))
    local want=$1
    [ "$(cat err.txt)" = "$want" ] || fail "stderr was '$(cat err.txt)', expected '$want'"
}

expect_same_file() {
    checks=$((checks + 1))
    cmp -s "$1" "$2" || fail "$1 differs from $2"
}

expect_missing() {
    checks=$((checks + 1))
    [ ! -e "$1" ] || fail "$1 exists and should not"
}

random_file() { # name, size in bytes
    head -c "$2" /dev/urandom >"$1"
}

piece_count() { # prefix
    local count=0
    while [ -e "${1}_$count" ]; do count=$((count + 1)); done
    echo "$count"
}

# The bytes of a file from an offset on, a given number of them.
slice() { # file, offset, length
    tail -c +$(($2 + 1)) "$1" | head -c "$3"
}

# ---- Split then join gives back the source --------------------------------------------------

# name | source size | split options | expected pieces
round_trips=(
    "one_byte|1|--size 1|1"
    "exact_multiple|$((4 * MIB))|--size 2|2"
    "with_remainder|$((5 * MIB + 123))|--size 2|3"
    "past_ten_pieces|$((11 * MIB + 5))|--size 1|12"
    "size_zero_is_one_piece|$((3 * MIB + 7))|--size 0|1"
    "default_size_5|$((7 * MIB))||2"
    "option_with_equals|$((3 * MIB))|--size=1|3"
)
for entry in "${round_trips[@]}"; do
    IFS='|' read -r current size options pieces <<<"$entry"
    rm -f rt rt_* joined
    random_file rt "$size"
    # shellcheck disable=SC2086 # the options are words
    run split rt $options
    expect_status 0
    expect_stderr ""
    checks=$((checks + 1))
    [ "$(piece_count rt)" = "$pieces" ] || fail "$(piece_count rt) pieces, expected $pieces"
    run join rt joined
    expect_status 0
    expect_stderr ""
    expect_same_file joined rt
done

current="empty_source"
rm -f rt rt_* joined
: >rt
run split rt
expect_status 0
expect_stderr ""
expect_missing rt_0
# An empty source leaves no piece, and no piece is nothing a join can tell from a wrong prefix.
run join rt joined
expect_status 8
expect_stderr "No pieces to join: rt_0 does not exist."
expect_missing joined

current="stop_after"
rm -f rt rt_* joined
random_file rt $((7 * MIB))
run split rt --size 2 --stop-after 2
expect_status 0
checks=$((checks + 1))
[ "$(piece_count rt)" = 2 ] || fail "$(piece_count rt) pieces, expected 2"
run join rt joined
slice rt 0 $((4 * MIB)) >expected
expect_same_file joined expected

current="stop_after_zero_counts_as_one"
rm -f rt_* joined
run split rt --size 2 --stop-after 0
expect_status 0
checks=$((checks + 1))
[ "$(piece_count rt)" = 1 ] || fail "$(piece_count rt) pieces, expected 1"

current="other_prefix_and_default_output"
rm -f rt_* cut cut_*
run split rt cut --size 3
expect_status 0
run join cut
expect_status 0
expect_same_file cut rt

current="single_piece_joins_alone"
rm -f one_* one
random_file one_0 12345
run join one
expect_status 0
expect_same_file one one_0

# ---- Segment ----------------------------------------------------------------------------------

random_file seg $((3 * MIB + 11))
seg_size=$((3 * MIB + 11))
# name | options | offset | length of the expected copy
segments=(
    "one_byte_decimal|--start 5 --end 6|5|1"
    "whole_file|--start 0|0|$seg_size"
    "hex_range|--start 10 --end 20 --hex|16|16"
    "hex_capitals_over_megabytes|--start 100000 --end 2FFFFF --hex|$MIB|$((0x2FFFFF - MIB))"
    "end_past_the_file|--start $MIB --end 99999999999|$MIB|$((seg_size - MIB))"
    "decimal_end_minus_one_is_the_end|--start 7 --end -1|7|$((seg_size - 7))"
    "hex_0x_prefix_reads_as_zero|--start 0x10 --end 20 --hex|0|32"
    "equals_form|--start=3 --end=9|3|6"
)
for entry in "${segments[@]}"; do
    IFS='|' read -r current options offset length <<<"$entry"
    rm -f out_0 expected
    # shellcheck disable=SC2086
    run segment seg out $options
    expect_status 0
    expect_stderr ""
    slice seg "$offset" "$length" >expected
    expect_same_file out_0 expected
done

current="segment_default_prefix"
rm -f seg_0
run segment seg --start 1 --end 3
expect_status 0
slice seg 1 2 >expected
expect_same_file seg_0 expected

# name | source | options
insane=(
    "start_above_end|seg|--start 100 --end 50"
    "start_at_the_size|seg|--start $seg_size"
    "decimal_start_minus_one|seg|--start -1"
    "empty_source|empty|--start 0"
)
: >empty
for entry in "${insane[@]}"; do
    IFS='|' read -r current source options <<<"$entry"
    rm -f bad_0
    # shellcheck disable=SC2086
    run segment "$source" bad $options
    expect_status 7
    expect_stderr "Insane start/end values!"
done

# ---- The engine's other failures --------------------------------------------------------------

mkdir -p a_directory
# name | status | message | arguments
failures_table=(
    "missing_source|3|Could not open the input file!|split absent.bin"
    "directory_as_source|3|Could not open the input file!|split a_directory"
    "segment_missing_source|3|Could not open the input file!|segment absent.bin --start 0"
    "output_in_missing_directory|4|Could not open output file!|split seg no_such_dir/p"
    "segment_output_in_missing_directory|4|Could not open output file!|segment seg no_such_dir/p --start 0"
)
for entry in "${failures_table[@]}"; do
    IFS='|' read -r current want message arguments <<<"$entry"
    # shellcheck disable=SC2086
    run $arguments
    expect_status "$want"
    expect_stderr "$message"
done

current="empty_source_name"
run split ""
expect_status 3
expect_stderr "Could not open the input file!"

# The file-size limit makes writes fail as a full disk would. Under Wine the server must be
# running already, or the limit would apply to it as well.
current="write_failure_split"
random_file big $((3 * MIB))
"${cli[@]}" --version >/dev/null
(
    trap '' XFSZ
    ulimit -f 1024
    exec "${cli[@]}" split big lim --size 2 >out.raw 2>err.raw
)
status=$?
tr -d '\r' <err.raw >err.txt
expect_status 6
expect_stderr "Could not write output file!"

current="write_failure_join"
run split big lim --size 2
"${cli[@]}" --version >/dev/null
(
    trap '' XFSZ
    ulimit -f 1024
    exec "${cli[@]}" join lim lim_joined >out.raw 2>err.raw
)
status=$?
tr -d '\r' <err.raw >err.txt
expect_status 6
expect_stderr "Could not write output file! (lim_joined)"

# A file that claims more bytes than it gives: sysfs reports a page for a few bytes of text.
short_file=/sys/devices/system/cpu/online
if [ -r "$short_file" ]; then
    current="read_failure_segment"
    ln -sf "$short_file" short
    run segment short short_out --start 0
    expect_status 5
    expect_stderr "Could not read the input file!"

    current="read_failure_join"
    ln -sf "$short_file" shortp_0
    run join shortp shortp_joined
    expect_status 5
    expect_stderr "Could not read the input file! (shortp_0)"
fi

# ---- What join refuses --------------------------------------------------------------------------

make_pieces() { # prefix, then the size of each piece
    local prefix=$1 number=0
    shift
    rm -f "${prefix}"_* "$prefix"
    for size in "$@"; do
        random_file "${prefix}_$number" "$size"
        number=$((number + 1))
    done
}

current="gap"
make_pieces g $MIB $MIB $MIB
mv g_2 g_3
run join g g_out
expect_status 9
expect_stderr "g_2 is missing, but g_3 exists: refusing to join across a gap."
expect_missing g_out

current="gap_far_away"
make_pieces g $MIB $MIB
random_file g_1000 10
run join g g_out
expect_status 9
expect_stderr "g_2 is missing, but g_1000 exists: refusing to join across a gap."

current="gap_at_the_start"
make_pieces g $MIB $MIB
rm g_0
run join g g_out
expect_status 9
expect_stderr "g_0 is missing, but g_1 exists: refusing to join across a gap."

current="names_that_are_no_piece_numbers_are_ignored"
make_pieces g 100
random_file g_07 10
random_file g_x 10
random_file g_5a 10
run join g g_out
expect_status 0
expect_same_file g_out g_0

current="piece_that_cannot_be_opened"
make_pieces d 100
mkdir d_1
random_file d_2 100
run join d d_out
expect_status 3
expect_stderr "Could not open the input file! (d_1)"

current="no_pieces"
run join nothing_here
expect_status 8
expect_stderr "No pieces to join: nothing_here_0 does not exist."

current="smaller_piece_before_the_last"
make_pieces s $((2 * MIB)) $MIB $MIB
run join s s_out
expect_status 10
expect_stderr "s_1 holds $MIB bytes but s_0 holds $((2 * MIB)): these pieces cannot come from one split."
expect_missing s_out

current="last_piece_larger"
make_pieces s $MIB $((MIB + 1))
run join s s_out
expect_status 10
expect_stderr "The last piece, s_1, holds $((MIB + 1)) bytes, more than the $MIB of s_0: these pieces cannot come from one split."

# A longer split with smaller pieces, then a shorter one with bigger pieces: the split warns
# about the older pieces, and the join refuses them instead of taking them in.
current="leftovers_of_an_earlier_split"
rm -f lo lo_*
random_file lo $((8 * MIB))
run split lo --size 1
expect_status 0
random_file lo $((7 * MIB))
run split lo --size 2
expect_status 0
expect_stderr "Warning: 4 pieces from lo_4 to lo_7 remain from an earlier run, past the last piece this split wrote (lo_3). A join would take them in; nothing was deleted."
checks=$((checks + 1))
[ -e lo_7 ] || fail "the split deleted an older piece"
run join lo lo_out
expect_status 10
expect_stderr "lo_3 holds $MIB bytes but lo_0 holds $((2 * MIB)): these pieces cannot come from one split."

current="one_leftover"
rm -f lo_*
random_file lo $((4 * MIB))
run split lo --size 1
random_file lo $((3 * MIB))
run split lo --size 1
expect_status 0
expect_stderr "Warning: lo_3 remains from an earlier run, past the last piece this split wrote (lo_2). A join would take it in; nothing was deleted."

current="leftovers_after_an_empty_source"
: >lo
run split lo --size 1
expect_status 0
expect_stderr "Warning: 4 pieces from lo_0 to lo_3 remain from an earlier run (this split wrote no piece). A join would take them in; nothing was deleted."

current="existing_output"
make_pieces e $MIB 100
random_file e_out 77
cp e_out e_before
run join e e_out
expect_status 11
expect_stderr "e_out already exists: refusing to overwrite it without --force."
expect_same_file e_out e_before

current="existing_output_forced"
run join e e_out --force
expect_status 0
cat e_0 e_1 >e_expected
expect_same_file e_out e_expected

current="default_output_is_the_prefix_and_exists"
random_file e 5
run join e
expect_status 11
expect_stderr "e already exists: refusing to overwrite it without --force."

current="output_is_a_piece"
cp e_1 e_1_before
run join e e_1 --force
expect_status 12
expect_stderr "The output e_1 is the piece e_1: refusing to overwrite it."
expect_same_file e_1 e_1_before

current="output_in_missing_directory"
run join e no_such_dir/out
expect_status 4
expect_stderr "Could not open output file! (no_such_dir/out)"

if [ "$mode" = native ]; then
    current="output_is_a_piece_under_another_name"
    ln -f e_0 e_link
    cp e_0 e_0_before
    run join e e_link --force
    expect_status 12
    expect_stderr "The output e_link is the piece e_0: refusing to overwrite it."
    expect_same_file e_0 e_0_before
fi

# ---- Usage errors: said before anything is opened -----------------------------------------------

long_text=$(printf '%080d' 0)
# name | message after "quorvex-cli: " | arguments
usage_table=(
    "no_arguments|missing command (split, segment or join)|"
    "unknown_command|unknown command 'frobnicate'|frobnicate absent.bin"
    "unknown_option|unknown option '--bogus'|split absent.bin --bogus"
    "missing_value|option '--size' needs a value|split absent.bin --size"
    "size_not_a_number|--size needs a whole number of MiB from 0 to 4294967295, not 'abc'|split absent.bin --size abc"
    "size_negative|--size needs a whole number of MiB from 0 to 4294967295, not '-1'|split absent.bin --size -1"
    "size_too_big|--size needs a whole number of MiB from 0 to 4294967295, not '4294967296'|split absent.bin --size 4294967296"
    "size_trailing_letters|--size needs a whole number of MiB from 0 to 4294967295, not '12x'|split absent.bin --size=12x"
    "count_not_a_number|--stop-after needs a whole number from 0 to 4294967295, not 'x'|split absent.bin --stop-after x"
    "split_without_source|split needs SOURCE|split --size 2"
    "join_without_prefix|join needs PREFIX|join"
    "extra_name|unexpected extra name 'c'|split absent.bin b c"
    "segment_without_start|segment needs --start|segment absent.bin"
    "option_of_another_command|option '--size' does not apply to segment|segment absent.bin --start 0 --size 2"
    "hex_for_join|option '--hex' does not apply to join|join absent --hex"
    "flag_with_value|option '--quiet' takes no value|split absent.bin --quiet=yes"
    "start_too_long|--start takes at most 79 characters|segment absent.bin --start $long_text"
)
# In an empty directory of their own, so that anything they create shows.
mkdir usage && cd usage || exit 1
for entry in "${usage_table[@]}"; do
    IFS='|' read -r current message arguments <<<"$entry"
    # shellcheck disable=SC2086
    run $arguments
    expect_status 2
    expect_stderr "quorvex-cli: $message
Try 'quorvex-cli --help'."
done
current="usage_errors_open_nothing"
checks=$((checks + 1))
for name in * .[!.]*; do
    case $name in
    out.raw | out.txt | err.raw | err.txt | '*' | '.[!.]*') ;;
    *) fail "$name appeared" ;;
    esac
done
cd .. || exit 1

current="double_dash_ends_options"
random_file -dash 10
run split -- -dash dash
expect_status 0
expect_same_file dash_0 ./-dash

current="help"
run --help
expect_status 0
checks=$((checks + 1))
if ! grep -q '^Usage:' out.txt || ! grep -q '^Exit status:' out.txt; then
    fail "--help prints no usage"
fi
run split absent.bin --help
expect_status 0
checks=$((checks + 1))
grep -q '^Usage:' out.txt || fail "--help after a command prints no usage"

current="version"
run --version
expect_status 0
checks=$((checks + 1))
grep -Eq '^quorvex-cli [0-9]+\.[0-9]+' out.txt || fail "version line: $(cat out.txt)"

# ---- Progress: only on a terminal -----------------------------------------------------------------

# Not a terminal: every successful run above left stderr empty. On a pseudo-terminal the bar
# shows; --quiet keeps it away. (Under Wine the program runs without a Windows console.)
if [ "$mode" = native ] && command -v script >/dev/null; then
    random_file pt $((3 * MIB))
    # name | command run on the terminal | whether a bar is expected
    progress_table=(
        "split_on_a_terminal|split pt pt --size 1|yes"
        "join_on_a_terminal|join pt pt_joined|yes"
        "quiet_split_on_a_terminal|split pt pt --size 1 --quiet|no"
        "quiet_join_on_a_terminal|join pt pt_joined --force --quiet|no"
    )
    printf -v program '%q' "${cli[0]}"
    for entry in "${progress_table[@]}"; do
        IFS='|' read -r current arguments expected <<<"$entry"
        script -q -e -c "$program $arguments" /dev/null </dev/null >terminal.txt 2>&1
        status=$?
        expect_status 0
        checks=$((checks + 1))
        if [ "$expected" = yes ]; then
            grep -aq '100% \[#*\] *3\.0 MiB' terminal.txt || fail "no full bar: $(cat -A terminal.txt)"
        else
            [ ! -s terminal.txt ] || fail "output with --quiet: $(cat -A terminal.txt)"
        fi
    done
fi

echo "$checks checks, $failures failed ($mode)"
[ "$failures" -eq 0 ]
