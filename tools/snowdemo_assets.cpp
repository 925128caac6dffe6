// snowdemo-assets: the asset tool. One table of commands; each does its work in the
// library, so the tests drive the same code.
#include <cstdio>
#include <cstring>

#include "app/error_report.h"
#include "tools/asset_generation.h"

namespace {

struct ToolCommand {
    const char* name;
    const char* arguments;
    const char* summary;
    int (*run)(int argumentCount, char** arguments);
};

int helpCommand(int, char**);

const ToolCommand kCommands[] = {
    {"generate", "DIR", "write the demo's textures and music under DIR", generateCommand},
    {"--help", "", "show this help", helpCommand},
};

void printHelp(FILE* out) {
    std::fprintf(out, "Usage: snowdemo-assets COMMAND [ARGUMENTS]\nCommands:\n");
    for (const ToolCommand& command : kCommands) {
        std::fprintf(out, "  %-8s %-6s %s\n", command.name, command.arguments, command.summary);
    }
}

int helpCommand(int, char**) {
    printHelp(stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    reportBackend = printReport;
    if (argc >= 2) {
        for (const ToolCommand& command : kCommands) {
            if (std::strcmp(argv[1], command.name) == 0) return command.run(argc - 2, argv + 2);
        }
    }
    printHelp(stderr);
    return 2;
}
