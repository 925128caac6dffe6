// The program's list of run files against the two other places that name them: the
// build's lists of generated and hand-written data, and the manual page's FILES section.
#include "base/run_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

using Names = std::set<std::string>;

// A comma-separated list from the build.
Names splitList(const std::string& list) {
    Names names;
    std::istringstream in(list);
    for (std::string name; std::getline(in, name, ',');) names.insert(name);
    return names;
}

Names runFiles(bool generated) {
    Names names;
    for (const RunFile* file : kRunFiles) {
        if (file->generated == generated) names.insert(file->path);
    }
    return names;
}

// The italic words of a man page line: all of `.I`, every other word of `.IR` (the
// first, third, ...), with their quotes taken off.
Names italicWords(const std::string& line) {
    std::istringstream in(line);
    std::string macro;
    in >> macro;
    Names words;
    int index = 0;
    while (in >> std::ws && in.peek() != EOF) {
        std::string word;
        if (in.peek() == '"') {
            in.get();
            std::getline(in, word, '"');
        } else {
            in >> word;
        }
        if (macro == ".I" || (macro == ".IR" && index % 2 == 0)) words.insert(word);
        ++index;
    }
    return words;
}

// The files the FILES section describes: the tag line after each `.TP`.
Names manPageFiles(const char* path) {
    std::ifstream page(path);
    EXPECT_TRUE(page) << path;
    Names names;
    bool inFiles = false;
    bool tagNext = false;
    for (std::string line; std::getline(page, line);) {
        if (line.rfind(".SH", 0) == 0) inFiles = line == ".SH FILES";
        if (!inFiles) continue;
        if (tagNext) {
            const Names words = italicWords(line);
            names.insert(words.begin(), words.end());
        }
        tagNext = line == ".TP";
    }
    return names;
}

TEST(RunFiles, BuildListsNameExactlyTheGeneratedAndTheHandWrittenFiles) {
    EXPECT_EQ(splitList(SNOW_GENERATED_RUN_FILES), runFiles(true));
    EXPECT_EQ(splitList(SNOW_HAND_WRITTEN_RUN_FILES), runFiles(false));
    EXPECT_EQ(runFiles(true).size() + runFiles(false).size(), std::size(kRunFiles))
        << "a file listed twice";
}

TEST(RunFiles, ManPageFilesSectionNamesExactlyTheRunFiles) {
    Names all = runFiles(true);
    all.merge(runFiles(false));
    EXPECT_EQ(manPageFiles(SNOW_MAN_PAGE), all);
}

}  // namespace
