// Reading the command line: a command, up to two names and the options that command takes,
// in any order. Everything is checked before anything is opened.
#include "command_line.h"

#include "split_job.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

enum OptionId {
    OPTION_SIZE,
    OPTION_STOP_AFTER,
    OPTION_START,
    OPTION_END,
    OPTION_HEX,
    OPTION_FORCE,
    OPTION_QUIET,
};

// Which commands an option belongs to.
enum : unsigned { FOR_SPLIT = 1, FOR_SEGMENT = 2, FOR_JOIN = 4, FOR_ALL = 7 };

struct OptionEntry {
    const char* name;
    OptionId id;
    bool takes_value;
    unsigned commands;
};

static const OptionEntry known_options[] = {
    {"--size", OPTION_SIZE, true, FOR_SPLIT},
    {"--stop-after", OPTION_STOP_AFTER, true, FOR_SPLIT},
    {"--start", OPTION_START, true, FOR_SEGMENT},
    {"--end", OPTION_END, true, FOR_SEGMENT},
    {"--hex", OPTION_HEX, false, FOR_SEGMENT},
    {"--force", OPTION_FORCE, false, FOR_JOIN},
    {"--quiet", OPTION_QUIET, false, FOR_ALL},
};

struct CommandEntry {
    const char* name;
    Command command;
    unsigned bit;
    const char* first_name; // what the first name stands for, for messages
};

static const CommandEntry known_commands[] = {
    {"split", COMMAND_SPLIT, FOR_SPLIT, "SOURCE"},
    {"segment", COMMAND_SEGMENT, FOR_SEGMENT, "SOURCE"},
    {"join", COMMAND_JOIN, FOR_JOIN, "PREFIX"},
};

// Says what is wrong with the command line, and where to read more. Returns false.
__attribute__((format(printf, 1, 2))) static bool usage_error(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    fputs("quorvex-cli: ", stderr);
    vfprintf(stderr, format, arguments);
    va_end(arguments);
    fputs("\nTry 'quorvex-cli --help'.\n", stderr);
    return false;
}

// A whole decimal number from 0 to 4294967295, digits only.
static bool parse_count(const char* text, uint32_t* value) {
    if (*text == '\0')
        return false;
    uint64_t number = 0;
    for (const char* at = text; *at != '\0'; ++at) {
        if (*at < '0' || *at > '9')
            return false;
        number = number * 10 + static_cast<uint64_t>(*at - '0');
        if (number > UINT32_MAX)
            return false;
    }
    *value = static_cast<uint32_t>(number);
    return true;
}

// The offsets are read by the engine as the dialog's fields are, which hold 79 characters.
static bool fits_field(const char* text) {
    return strlen(text) < FIELD_TEXT_CAPACITY;
}

static const OptionEntry* find_option(const char* name, size_t length) {
    for (const OptionEntry& entry : known_options)
        if (strlen(entry.name) == length && strncmp(entry.name, name, length) == 0)
            return &entry;
    return nullptr;
}

static bool apply_option(const OptionEntry& entry, const char* value, CliOptions* options) {
    switch (entry.id) {
    case OPTION_SIZE:
        if (!parse_count(value, &options->size_mb))
            return usage_error("--size needs a whole number of MiB from 0 to 4294967295, not '%s'",
                               value);
        return true;
    case OPTION_STOP_AFTER:
        if (!parse_count(value, &options->stop_count))
            return usage_error("--stop-after needs a whole number from 0 to 4294967295, not '%s'",
                               value);
        options->stop_after = true;
        return true;
    case OPTION_START:
    case OPTION_END:
        if (!fits_field(value))
            return usage_error("%s takes at most %u characters", entry.name,
                               static_cast<unsigned>(FIELD_TEXT_CAPACITY - 1));
        (entry.id == OPTION_START ? options->start_text : options->end_text) = value;
        return true;
    case OPTION_HEX:
        options->hex = true;
        return true;
    case OPTION_FORCE:
        options->force = true;
        return true;
    case OPTION_QUIET:
        options->quiet = true;
        return true;
    }
    return false;
}

bool parse_command_line(int argc, char** argv, CliOptions* options) {
    *options =
        CliOptions{COMMAND_HELP, nullptr, nullptr, 5, false, 1, nullptr, "0", false, false, false};

    // --help and --version win wherever they stand (before a "--").
    for (int i = 1; i < argc && strcmp(argv[i], "--") != 0; ++i) {
        if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0) {
            options->command = COMMAND_HELP;
            return true;
        }
        if (strcmp(argv[i], "--version") == 0) {
            options->command = COMMAND_VERSION;
            return true;
        }
    }

    if (argc < 2)
        return usage_error("missing command (split, segment or join)");
    const CommandEntry* command = nullptr;
    for (const CommandEntry& entry : known_commands)
        if (strcmp(argv[1], entry.name) == 0)
            command = &entry;
    if (command == nullptr)
        return usage_error("unknown command '%s'", argv[1]);
    options->command = command->command;

    const char* names[2] = {nullptr, nullptr};
    int name_count = 0;
    bool options_ended = false;
    for (int i = 2; i < argc; ++i) {
        const char* argument = argv[i];
        if (!options_ended && strcmp(argument, "--") == 0) {
            options_ended = true;
            continue;
        }
        // A lone "-" is a name like any other; so is everything after "--".
        if (options_ended || argument[0] != '-' || argument[1] == '\0') {
            if (name_count == 2)
                return usage_error("unexpected extra name '%s'", argument);
            names[name_count++] = argument;
            continue;
        }
        const char* equals = strchr(argument, '=');
        size_t name_length =
            equals != nullptr ? static_cast<size_t>(equals - argument) : strlen(argument);
        const OptionEntry* entry = find_option(argument, name_length);
        if (entry == nullptr)
            return usage_error("unknown option '%s'", argument);
        if ((entry->commands & command->bit) == 0)
            return usage_error("option '%s' does not apply to %s", entry->name, command->name);
        const char* value = nullptr;
        if (entry->takes_value) {
            if (equals != nullptr)
                value = equals + 1;
            else if (i + 1 < argc)
                value = argv[++i];
            else
                return usage_error("option '%s' needs a value", entry->name);
        } else if (equals != nullptr) {
            return usage_error("option '%s' takes no value", entry->name);
        }
        if (!apply_option(*entry, value, options))
            return false;
    }

    if (name_count == 0)
        return usage_error("%s needs %s", command->name, command->first_name);
    if (options->command == COMMAND_SEGMENT && options->start_text == nullptr)
        return usage_error("segment needs --start");
    options->first = names[0];
    options->second = names[1];
    return true;
}
