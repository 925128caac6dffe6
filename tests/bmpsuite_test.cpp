// Every file of the BMP Suite through the reader: against the suite's expectations and
// reference pictures (expected.tsv), and against this reader's checked-in results.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "render/bmp_reader.h"
#include "tests/support/decode_capture.h"
#include "tests/support/fnv_hash.h"
#include "tests/support/report_recorder.h"
#include "tests/support/whole_file.h"
#include "tools/picture.h"

namespace {

const std::string kSuiteDir = SNOW_BMPSUITE_DIR;
const std::string kResultsPath = SNOW_BMPSUITE_RESULTS;

using Row = std::vector<std::string>;

std::vector<Row> readTable(const std::string& path) {
    std::vector<Row> rows;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        Row fields;
        std::stringstream stream(line);
        std::string field;
        while (std::getline(stream, field, '\t')) fields.push_back(field);
        rows.push_back(fields);
    }
    return rows;
}

uint32_t u32At(const std::vector<uint8_t>& bytes, size_t offset) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | bytes.at(offset + i);
    return v;
}

// An 8-bit R,G,B picture, top row first.
Picture readPng(const std::string& path) {
    Picture picture;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        ADD_FAILURE() << "cannot read " << path << ": " << image.message;
        return picture;
    }
    image.format = PNG_FORMAT_RGB;
    picture.pixels.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr)) {
        ADD_FAILURE() << "cannot decode " << path << ": " << image.message;
        return Picture{};
    }
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.channels = 3;
    return picture;
}

// The picture comes bottom row first, as the reader gives it.
DecodeCapture readSuiteFile(const std::string& file) {
    ReportRecorder recorder;
    return captureBmp(readBmpImage((kSuiteDir + "/" + file).c_str()));
}

// The line of the results table this outcome gives.
Row resultRow(const std::string& file, const DecodeCapture& outcome) {
    if (outcome.decoded) {
        return {file, "decode",
                std::to_string(outcome.width) + "x" + std::to_string(outcome.height),
                fnv1aHex(outcome.pixels.data(), outcome.pixels.size())};
    }
    std::string text = outcome.reports.empty() ? "(no message)" : outcome.reports[0].text;
    return {file, "refuse", text};
}

bool messageMatches(const std::string& pattern, const std::string& text) {
    if (pattern == "*") return true;
    std::stringstream alternatives(pattern);
    std::string alternative;
    while (std::getline(alternatives, alternative, '|')) {
        if (alternative == text) return true;
    }
    return false;
}

// The number of significant bits of each channel, from the file's bit-field masks.
std::vector<int> maskBits(const std::vector<uint8_t>& bmp) {
    std::vector<int> bits;
    for (size_t offset : {54u, 58u, 62u}) bits.push_back(__builtin_popcount(u32At(bmp, offset)));
    return bits;
}

// Compares the reader's picture with the reference under the suite's compare mode.
void expectLikeReference(const std::string& file, const DecodeCapture& outcome,
                         const Row& expected) {
    const std::string& mode = expected[4];
    Picture reference = readPng(kSuiteDir + "/" + expected[3]);
    ASSERT_EQ(outcome.width, reference.width);
    ASSERT_EQ(outcome.height, reference.height);
    Picture mask;
    if (mode == "fill") mask = readPng(kSuiteDir + "/" + expected[5]);
    std::vector<int> bits = {8, 8, 8};
    if (mode == "bits555") bits = {5, 5, 5};
    if (mode == "masks") bits = maskBits(readWholeFile(kSuiteDir + "/" + file));
    int completeRows = mode.rfind("rows", 0) == 0 ? std::stoi(mode.substr(4)) : reference.height;
    ASSERT_TRUE(mode == "exact" || mode == "bits555" || mode == "masks" || mode == "fill" ||
                mode.rfind("rows", 0) == 0)
        << mode;

    int mismatches = 0;
    for (int y = 0; y < reference.height; ++y) {
        int bottomUp = reference.height - 1 - y;
        if (bottomUp >= completeRows) continue;
        for (int x = 0; x < reference.width; ++x) {
            size_t at = (size_t{static_cast<size_t>(y)} * reference.width + x) * 3;
            if (!mask.pixels.empty() && mask.pixels[at] < 128) continue;
            size_t ours = (size_t{static_cast<size_t>(bottomUp)} * reference.width + x) * 3;
            for (int c = 0; c < 3; ++c) {
                int shift = 8 - std::min(bits[c], 8);
                if ((outcome.pixels[ours + c] >> shift) != (reference.pixels[at + c] >> shift)) {
                    if (++mismatches <= 3) {
                        ADD_FAILURE() << "pixel " << x << "," << y << " (top row 0) channel " << c
                                      << ": " << int{outcome.pixels[ours + c]} << " vs "
                                      << int{reference.pixels[at + c]};
                    }
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

// Width and row count from the file's information header.
void expectHeaderSize(const std::string& file, const DecodeCapture& outcome) {
    std::vector<uint8_t> bmp = readWholeFile(kSuiteDir + "/" + file);
    ASSERT_EQ(u32At(bmp, 14), 40u);
    int32_t width = static_cast<int32_t>(u32At(bmp, 18));
    int32_t height = static_cast<int32_t>(u32At(bmp, 22));
    EXPECT_EQ(outcome.width, width);
    EXPECT_EQ(outcome.height, height < 0 ? -height : height);
}

TEST(BmpSuite, EveryFileMeetsTheSuiteExpectation) {
    std::vector<Row> expectations = readTable(kSuiteDir + "/expected.tsv");
    ASSERT_EQ(expectations.size(), 88u);
    for (const Row& expected : expectations) {
        ASSERT_EQ(expected.size(), 7u);
        const std::string& file = expected[0];
        const std::string& kind = expected[1];
        SCOPED_TRACE(file);
        DecodeCapture outcome = readSuiteFile(file);
        if (outcome.decoded) {
            EXPECT_TRUE(outcome.reports.empty());
            EXPECT_NE(kind, "refuse");
            if (expected[3] != "-") {
                expectLikeReference(file, outcome, expected);
            } else {
                expectHeaderSize(file, outcome);
            }
        } else {
            EXPECT_NE(kind, "decode");
            ASSERT_EQ(outcome.reports.size(), 1u);
            EXPECT_TRUE(messageMatches(expected[2], outcome.reports[0].text))
                << outcome.reports[0].text;
            EXPECT_EQ(outcome.reports[0].caption, "Error");
            EXPECT_EQ(outcome.reports[0].owner, ReportOwner::FocusedWindow);
            EXPECT_EQ(outcome.reports[0].style, 0u);
        }
    }
}

// SNOW_BMPSUITE_WRITE_RESULTS=PATH writes the table the reader gives now, for review.
TEST(BmpSuite, EveryFileGivesItsCheckedInResult) {
    std::vector<Row> actual;
    for (const Row& expected : readTable(kSuiteDir + "/expected.tsv")) {
        actual.push_back(resultRow(expected[0], readSuiteFile(expected[0])));
    }
    if (const char* out = std::getenv("SNOW_BMPSUITE_WRITE_RESULTS")) {
        std::ofstream table(out);
        for (const Row& row : actual) {
            for (size_t i = 0; i < row.size(); ++i) table << (i ? "\t" : "") << row[i];
            table << "\n";
        }
    }

    std::map<std::string, Row> checkedIn;
    for (const Row& row : readTable(kResultsPath)) checkedIn[row.at(0)] = row;
    EXPECT_EQ(checkedIn.size(), actual.size());
    for (const Row& row : actual) {
        SCOPED_TRACE(row[0]);
        ASSERT_EQ(checkedIn.count(row[0]), 1u);
        EXPECT_EQ(checkedIn[row[0]], row);
    }
}

TEST(BmpSuite, ExpectationsCoverEveryFile) {
    std::set<std::string> listed;
    for (const Row& row : readTable(kSuiteDir + "/expected.tsv")) listed.insert(row[0]);
    size_t files = 0;
    for (const char* dir : {"g", "q", "b"}) {
        for (const auto& entry : std::filesystem::directory_iterator(kSuiteDir + "/" + dir)) {
            std::string file = std::string(dir) + "/" + entry.path().filename().string();
            EXPECT_EQ(listed.count(file), 1u) << file;
            ++files;
        }
    }
    EXPECT_EQ(files, listed.size());
}

}  // namespace
