// quorvex-cli: the splitter's engine on the command line, with a joiner beside it.
#include "command_line.h"
#include "exit_status.h"
#include "join_command.h"
#include "split_command.h"

int main(int argc, char** argv) {
    CliOptions options;
    if (!parse_command_line(argc, argv, &options))
        return CLI_USAGE;
    switch (options.command) {
    case COMMAND_HELP:
        print_help();
        return CLI_OK;
    case COMMAND_VERSION:
        print_version();
        return CLI_OK;
    case COMMAND_SPLIT:
    case COMMAND_SEGMENT:
        return run_split_command(options);
    case COMMAND_JOIN:
        return run_join_command(options);
    }
    return CLI_OTHER_FAILURE;
}
