// Joining: first every check that can refuse the join (pieces missing, sizes that no split
// makes, an output that exists or is itself a piece), then the copy, piece by piece in
// numeric order, through the engine's file operations.
#include "join_command.h"

#include "cli_platform.h"
#include "piece_scan.h"
#include "progress_bar.h"
#include "split_job.h"

#include <cinttypes>
#include <cstdio>

// The transfer buffer of the join; static, like the job's, and only touched by a join.
static unsigned char join_block[BLOCK_SIZE];

// What the survey of the pieces found.
struct PieceSurvey {
    uint32_t count;      // pieces prefix_0 .. prefix_(count-1) open and measured
    uint64_t first_size; // size of prefix_0, which every piece but the last must have
    uint64_t last_size;  // size of the last piece
    uint64_t total;      // their sum
    bool sizes_differ;   // a piece before the last differs from the first
    uint32_t odd_piece;  // the first such piece
    uint64_t odd_size;
    bool output_is_piece; // the output is one of the pieces
    uint32_t output_piece;
};

static bool same_identity(const FileIdentity& a, const FileIdentity& b) {
    return a.volume == b.volume && a.file == b.file;
}

static bool piece_name(char* name, const char* prefix, uint32_t number) {
    return build_output_name(name, prefix, static_cast<int32_t>(number));
}

// Says what failed on which file, on a line of its own below any progress bar.
static CliStatus fail_on_file(const char* message, const char* path, CliStatus status) {
    progress_finish();
    fprintf(stderr, "%s (%s)\n", message, path);
    return status;
}

// Opens and measures prefix_0, prefix_1, ... up to the first that cannot be opened. Returns
// CLI_OK or the status of a failure that ends the join at once.
static CliStatus survey_pieces(const char* prefix, const char* output, PieceSurvey* survey) {
    *survey = PieceSurvey{0, 0, 0, 0, false, 0, 0, false, 0};
    FileIdentity output_identity;
    bool output_exists = file_identity(output, &output_identity);
    char name[PATH_CAPACITY];
    for (uint32_t number = 0; number <= INT32_MAX; ++number) {
        if (!piece_name(name, prefix, number))
            return fail_on_file(MSG_OPEN_INPUT_FAILED, prefix, CLI_OPEN_INPUT);
        int fd = file_ops.open_read(name);
        if (fd < 0)
            break;
        int64_t size = file_ops.seek(fd, 0, SEEK_FROM_END);
        file_ops.close(fd); // read-only: nothing to lose if this fails
        if (size < 0)       // a size that cannot be learned fails as the split's source does
            return fail_on_file(MSG_OPEN_INPUT_FAILED, name, CLI_OPEN_INPUT);

        // The piece before this one is not the last, so it must be as big as the first.
        if (number >= 2 && survey->last_size != survey->first_size && !survey->sizes_differ) {
            survey->sizes_differ = true;
            survey->odd_piece = number - 1;
            survey->odd_size = survey->last_size;
        }
        FileIdentity identity;
        if (output_exists && !survey->output_is_piece && file_identity(name, &identity) &&
            same_identity(identity, output_identity)) {
            survey->output_is_piece = true;
            survey->output_piece = number;
        }
        if (number == 0)
            survey->first_size = static_cast<uint64_t>(size);
        survey->last_size = static_cast<uint64_t>(size);
        survey->total += static_cast<uint64_t>(size);
        survey->count = number + 1;
    }
    return CLI_OK;
}

// The refusals, in order: nothing to join, a gap, sizes no split makes, and the output.
static CliStatus check_survey(const char* prefix, const char* output, bool force,
                              const PieceSurvey& survey) {
    PieceRange beyond;
    if (!find_pieces_from(prefix, survey.count, &beyond)) {
        fprintf(stderr,
                "Warning: could not list the directory of %s; pieces after a gap would "
                "go unnoticed.\n",
                prefix);
        beyond.count = 0;
    }
    if (beyond.count != 0 && beyond.lowest == survey.count) {
        // The next piece is there but could not be opened.
        char name[PATH_CAPACITY];
        piece_name(name, prefix, survey.count);
        return fail_on_file(MSG_OPEN_INPUT_FAILED, name, CLI_OPEN_INPUT);
    }
    if (beyond.count != 0) {
        fprintf(stderr, "%s_%u is missing, but %s_%u exists: refusing to join across a gap.\n",
                prefix, survey.count, prefix, beyond.lowest);
        return CLI_GAP;
    }
    if (survey.count == 0) {
        fprintf(stderr, "No pieces to join: %s_0 does not exist.\n", prefix);
        return CLI_NO_PIECES;
    }
    if (survey.sizes_differ) {
        fprintf(stderr,
                "%s_%u holds %" PRIu64 " bytes but %s_0 holds %" PRIu64
                ": these pieces cannot come from one split.\n",
                prefix, survey.odd_piece, survey.odd_size, prefix, survey.first_size);
        return CLI_INCONSISTENT_SIZES;
    }
    if (survey.last_size > survey.first_size) {
        fprintf(stderr,
                "The last piece, %s_%u, holds %" PRIu64 " bytes, more than the %" PRIu64
                " of %s_0: these pieces cannot come from one split.\n",
                prefix, survey.count - 1, survey.last_size, survey.first_size, prefix);
        return CLI_INCONSISTENT_SIZES;
    }
    if (survey.output_is_piece) {
        fprintf(stderr, "The output %s is the piece %s_%u: refusing to overwrite it.\n", output,
                prefix, survey.output_piece);
        return CLI_OUTPUT_IS_PIECE;
    }
    FileIdentity identity;
    if (!force && file_identity(output, &identity)) {
        fprintf(stderr, "%s already exists: refusing to overwrite it without --force.\n", output);
        return CLI_OUTPUT_EXISTS;
    }
    return CLI_OK;
}

static uint32_t percent_of(uint64_t done, uint64_t total) {
    return total == 0 ? 100 : static_cast<uint32_t>(done * 100 / total);
}

// Copies every piece into the output. The output is opened only once the first piece is
// open, and never if it is that very file.
static CliStatus copy_pieces(const char* prefix, const char* output, const PieceSurvey& survey) {
    char name[PATH_CAPACITY];
    int out_fd = -1;
    uint64_t done = 0;
    CliStatus status = CLI_OK;
    for (uint32_t number = 0; number < survey.count && status == CLI_OK; ++number) {
        piece_name(name, prefix, number);
        int in_fd = file_ops.open_read(name);
        if (in_fd < 0) {
            status = fail_on_file(MSG_OPEN_INPUT_FAILED, name, CLI_OPEN_INPUT);
            break;
        }
        if (number == 0) {
            out_fd = file_ops.open_output(output, in_fd);
            if (out_fd < 0) {
                file_ops.close(in_fd);
                status = fail_on_file(MSG_OPEN_OUTPUT_FAILED, output, CLI_OPEN_OUTPUT);
                break;
            }
        }
        uint64_t expected = number + 1 == survey.count ? survey.last_size : survey.first_size;
        uint64_t copied = 0;
        int32_t count;
        while ((count = file_ops.read(in_fd, join_block, BLOCK_SIZE)) != 0) {
            if (count < 0) {
                status = fail_on_file(MSG_READ_FAILED, name, CLI_READ);
                break;
            }
            if (file_ops.write(out_fd, join_block, count) != count) {
                status = fail_on_file(MSG_WRITE_FAILED, output, CLI_WRITE);
                break;
            }
            copied += static_cast<uint64_t>(count);
            done += static_cast<uint64_t>(count);
            progress_show(percent_of(done, survey.total), done);
        }
        file_ops.close(in_fd); // read-only: nothing to lose if this fails
        // A piece that gave other than its measured size changed under the join, and the
        // output would not be what the pieces were.
        if (status == CLI_OK && copied != expected)
            status = fail_on_file(MSG_READ_FAILED, name, CLI_READ);
    }
    // A failed close of a file being written can mean data that never reached the disk.
    if (out_fd >= 0 && file_ops.close(out_fd) != 0 && status == CLI_OK)
        status = fail_on_file(MSG_WRITE_FAILED, output, CLI_WRITE);
    if (status == CLI_OK)
        progress_show(100, done);
    return status;
}

CliStatus run_join_command(const CliOptions& options) {
    const char* prefix = options.first;
    const char* output = options.second != nullptr ? options.second : prefix;
    PieceSurvey survey;
    CliStatus status = survey_pieces(prefix, output, &survey);
    if (status == CLI_OK)
        status = check_survey(prefix, output, options.force, survey);
    if (status != CLI_OK)
        return status;
    progress_start(!options.quiet && stderr_is_terminal());
    status = copy_pieces(prefix, output, survey);
    progress_finish();
    return status;
}
