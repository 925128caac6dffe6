// snowdemo-assets check: loads every file the demo reads through the demo's own readers,
// from the same relative names, and says per file what the demo gets or what it would
// show instead.
#include "tools/check_command.h"

#include <GL/gl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "audio/music.h"
#include "base/error_report.h"
#include "base/run_files.h"
#include "render/bmp_reader.h"
#include "render/shader_source.h"
#include "render/tga_reader.h"

const char* const kCheckHelp =
    "Load every file the demo reads from DIR (default: the working directory) with\n"
    "the demo's own readers and print one line each: what the demo gets (size and\n"
    "format) or the message the demo would show. Status 1 when any file fails.";

namespace {

// The reports of the file being checked, as "caption: text" without the line end.
std::string reports;

void collectReport(ReportOwner, const char* text, const char* caption, unsigned) {
    std::string line = std::string(caption) + ": " + text;
    while (!line.empty() && line.back() == '\n') line.pop_back();
    if (!reports.empty()) reports += "; ";
    reports += line;
}

// One line for one file; false when the demo would not get it.
bool printResult(const char* name, bool loaded, const std::string& got) {
    std::printf("%-28s %s\n", name, loaded ? got.c_str() : reports.c_str());
    reports.clear();
    return loaded;
}

bool checkFont(const char* name) {
    TgaDecoder decoder{};
    TgaImage image{};
    bool loaded = decoder.loadTga(&image, name);
    std::string got;
    if (loaded) {
        got = std::to_string(image.width) + " x " + std::to_string(image.height) + ", " +
              std::to_string(image.bitsPerPixel) + " bits, " +
              (image.format == GL_RGBA ? "GL_RGBA" : "GL_RGB") +
              (decoder.header[2] == 10 ? ", run-length encoded (type 10)"
                                       : ", uncompressed (type 2)");
    }
    std::free(image.pixels);
    return printResult(name, loaded, got);
}

bool checkTexture(const char* name) {
    RgbImage* image = readBmpImage(name);
    std::string got;
    if (image != nullptr) {
        got = std::to_string(image->width) + " x " + std::to_string(image->height) + ", GL_RGB";
        std::free(image->pixels);
        std::free(image);
    }
    return printResult(name, image != nullptr, got);
}

bool checkShaderSource(const char* name) {
    char* source = readShaderSource(name);
    std::string got;
    if (source != nullptr) got = std::to_string(std::strlen(source)) + " bytes of GLSL source";
    std::free(source);
    return printResult(name, source != nullptr, got);
}

// Open for the rest of the run, as in the demo.
MusicStream* checkedStream = nullptr;

// The check needs no audio device to open the stream the demo would play.
bool checkMusic(const char* name) {
    musicChooseSilentOutput();
    if (musicInit(kMusicMixRate, kMusicMixChannels)) checkedStream = musicStreamOpen(name);
    bool loaded = checkedStream != nullptr;
    if (!loaded) reports = "cannot be opened as a music stream: the demo runs silently";
    std::string got = "opens as a music stream";
    const double seconds = musicStreamSeconds(checkedStream);
    if (seconds >= 0.0) {
        char length[48];
        std::snprintf(length, sizeof length, ", %.1f s long", seconds);
        got += length;
    }
    return printResult(name, loaded, got);
}

// Through the reader the demo reads that format with.
bool checkFile(const RunFile& file) {
    switch (file.format) {
        case RunFileFormat::GlslSource:
            return checkShaderSource(file.path);
        case RunFileFormat::Tga:
            return checkFont(file.path);
        case RunFileFormat::Bmp:
            return checkTexture(file.path);
        case RunFileFormat::Mp3:
            return checkMusic(file.path);
    }
    return false;
}

}  // namespace

int runCheckCommand(int argc, char** argv) {
    if (argc > 2) {
        std::fprintf(stderr, "Usage: snowdemo-assets check [DIR]\n");
        return 2;
    }
    // The demo finds its files relative to its working directory.
    if (argc == 2 && chdir(argv[1]) != 0) {
        std::fprintf(stderr, "snowdemo-assets check: cannot enter %s\n", argv[1]);
        return 1;
    }
    reportBackend = collectReport;
    bool ok = true;
    for (const RunFile* file : kRunFiles) ok = checkFile(*file) && ok;
    return ok ? 0 : 1;
}
