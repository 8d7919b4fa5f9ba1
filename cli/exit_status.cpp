// Which exit status each of the engine's messages stands for.
#include "exit_status.h"

#include "split_job.h"

#include <cstring>

struct MessageStatus {
    const char* message;
    CliStatus status;
};

static const MessageStatus message_statuses[] = {
    {MSG_OPEN_INPUT_FAILED, CLI_OPEN_INPUT},
    {MSG_OPEN_OUTPUT_FAILED, CLI_OPEN_OUTPUT},
    {MSG_READ_FAILED, CLI_READ},
    {MSG_WRITE_FAILED, CLI_WRITE},
    {MSG_INSANE_RANGE, CLI_INSANE_RANGE},
};

CliStatus status_for_message(const char* message) {
    for (const MessageStatus& entry : message_statuses)
        if (strcmp(entry.message, message) == 0)
            return entry.status;
    return CLI_OTHER_FAILURE;
}
