// snowdemo-assets: commands for people who make or check the demo's data files.
// Exit status: 0 done, 1 the command failed, 2 the command line was wrong.
#include <cstdio>
#include <cstring>

#include "base/error_report.h"
#include "base/run_files.h"
#include "tools/asset_generation.h"
#include "tools/check_command.h"
#include "tools/decode_command.h"

namespace {

struct Command {
    const char* name;
    const char* arguments;
    const char* help;                   // lines after the first are indented under it
    int (*run)(int argc, char** argv);  // argv[0] is the command's name
};

const Command kCommands[] = {
    {"decode", "FILE OUT", kDecodeHelp, runDecodeCommand},
    {"generate", "DIR", kGenerateHelp, runGenerateCommand},
    {"check", "[DIR]", kCheckHelp, runCheckCommand},
};

void printHelp(FILE* out) {
    std::fprintf(out,
                 "Usage: snowdemo-assets COMMAND ARGUMENTS...\n"
                 "Tools for the files the demo reads.\n\n"
                 "Commands:\n");
    for (const Command& command : kCommands) {
        std::fprintf(out, "  %s %s\n", command.name, command.arguments);
        for (const char* line = command.help; *line != '\0';) {
            const char* end = std::strchr(line, '\n');
            int length = end ? static_cast<int>(end - line) : static_cast<int>(std::strlen(line));
            std::fprintf(out, "      %.*s\n", length, line);
            line += length + (end ? 1 : 0);
        }
    }
    std::fprintf(out,
                 "  --help\n"
                 "      Show this text.\n\n"
                 "The files the demo reads (* made by generate):\n");
    for (const RunFile* file : kRunFiles) {
        std::fprintf(out, "  %c %-28s %s\n", file->generated ? '*' : ' ', file->path, file->role);
    }
    std::fprintf(out,
                 "\n"
                 "Exit status: 0 when the command did its work, 1 when it failed (the reason\n"
                 "is on standard error), 2 when the command line was wrong.\n");
}

}  // namespace

int main(int argc, char** argv) {
    // The readers report through the report seam; here on standard error, never in a
    // dialog.
    reportBackend = printReport;
    if (argc < 2) {
        printHelp(stderr);
        return 2;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        printHelp(stdout);
        return 0;
    }
    for (const Command& command : kCommands) {
        if (std::strcmp(argv[1], command.name) == 0) return command.run(argc - 1, argv + 1);
    }
    std::fprintf(stderr, "snowdemo-assets: unknown command \"%s\" (see --help)\n", argv[1]);
    return 2;
}
