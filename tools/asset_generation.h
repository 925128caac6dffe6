// The asset tool's `generate` command: every file the demo reads at run time besides
// the shader sources, and its icon, made from nothing but this program and the system's
// fonts.
#pragma once

#include <string>

// Writes the generated run files (base/run_files.h) and the icons,
// icons/hicolor/SIZExSIZE/apps/snowdemo.png, under `directory`, creating the folders.
// Each file is written whole or not at all. False after a reported message.
bool generateAssets(const std::string& directory);

extern const char* const kGenerateHelp;

// argv: "generate", DIR. Exit status 0, 1 on a failure, 2 on a usage error.
int runGenerateCommand(int argc, char** argv);
