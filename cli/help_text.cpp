// What --help and --version print.
#include "command_line.h"

#include <cstdio>

static const char help_text[] =
    "Usage:\n"
    "  quorvex-cli split SOURCE [PREFIX] [--size MIB] [--stop-after N] [--quiet]\n"
    "  quorvex-cli segment SOURCE [PREFIX] --start S [--end E] [--hex] [--quiet]\n"
    "  quorvex-cli join PREFIX [OUTPUT] [--force] [--quiet]\n"
    "  quorvex-cli --help | --version\n"
    "\n"
    "split    Cuts SOURCE from its start into pieces of MIB MiB (default 5) named\n"
    "         PREFIX_0, PREFIX_1, ... (PREFIX defaults to SOURCE), overwriting files\n"
    "         of those names. --size 0 puts the whole source into PREFIX_0.\n"
    "         --stop-after N writes only the first N pieces (0 counts as 1).\n"
    "         Warns about pieces past the last one written left by an earlier run.\n"
    "segment  Copies the bytes from offset S up to, not including, offset E into\n"
    "         PREFIX_0; E 0 (the default) means the end of the file. S and E are\n"
    "         decimal; with --hex both are hexadecimal digits without 0x. Reading\n"
    "         stops at the first other character: \"12k\" reads as 12, and with\n"
    "         --hex \"0x10\" reads as 0.\n"
    "join     Joins PREFIX_0, PREFIX_1, ... in numeric order into OUTPUT (default\n"
    "         PREFIX). Refuses a missing piece below one that exists, pieces whose\n"
    "         sizes cannot come from one split, an OUTPUT that is one of the pieces,\n"
    "         and an existing OUTPUT unless --force is given. A failed join leaves\n"
    "         what it had written.\n"
    "\n"
    "A progress bar is shown on stderr when stderr is a terminal; --quiet hides it.\n"
    "Options may also be written --name=value; \"--\" ends the options.\n"
    "\n"
    "Exit status:\n"
    "   0  success\n"
    "   1  any other failure (the job could not be started)\n"
    "   2  usage error; nothing was opened\n"
    "   3  Could not open the input file!\n"
    "   4  Could not open output file!\n"
    "   5  Could not read the input file!\n"
    "   6  Could not write output file!\n"
    "   7  Insane start/end values!\n"
    "   8  join: no pieces found\n"
    "   9  join: a piece is missing below one that exists\n"
    "  10  join: the pieces' sizes cannot come from one split\n"
    "  11  join: OUTPUT exists (use --force)\n"
    "  12  join: OUTPUT is one of the pieces\n";

void print_help() {
    fputs(help_text, stdout);
}

void print_version() {
    printf("quorvex-cli %s\n", QUORVEX_VERSION);
}
