// Makes each runtime file and writes it under the target directory.
#include "tools/asset_generation.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "base/error_report.h"
#include "base/run_files.h"
#include "tools/app_icon.h"
#include "tools/bmp_writer.h"
#include "tools/font_atlas.h"
#include "tools/mp3_encoder.h"
#include "tools/png_encoder.h"
#include "tools/snow_textures.h"
#include "tools/stone_texture.h"
#include "tools/tga_writer.h"
#include "tools/winter_tune.h"

namespace {

namespace fs = std::filesystem;

void report(const std::string& text) {
    reportError(ReportOwner::None, text.c_str(), "ERROR", kReportOk);
}

// Writes beside the target first, so a failed run never leaves a truncated file that
// the demo would take for data.
bool writeFile(const fs::path& directory, const std::string& name,
               const std::vector<uint8_t>& bytes) {
    const fs::path path = directory / name;
    const fs::path partial = fs::path(path).concat(".part");
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    FILE* file = std::fopen(partial.c_str(), "wb");
    bool ok = file != nullptr;
    if (ok) {
        ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        ok = std::fclose(file) == 0 && ok;
    }
    if (ok) {
        fs::rename(partial, path, error);
        ok = !error;
    }
    if (!ok) {
        fs::remove(partial, error);
        report("Could not write " + path.string());
        return false;
    }
    std::printf("wrote %s (%zu bytes)\n", name.c_str(), bytes.size());
    return true;
}

}  // namespace

bool generateAssets(const std::string& directory) {
    const fs::path root(directory);
    Picture atlas;
    if (!makeFontAtlas(kRegularFontPath, kBoldFontPath, atlas)) return false;
    if (!writeFile(root, kFontAtlasFile.path, encodeTgaRle(atlas))) return false;
    if (!writeFile(root, kSnowTextureFile.path, encodeBmp24(makeSnowTexture()))) return false;
    if (!writeFile(root, kNormalMapFile.path, encodeBmp24(makeSnowNormalMap()))) {
        return false;
    }
    PalettePicture stone = makeStoneTexture();
    if (!writeFile(root, kStoneTextureFile.path, encodeBmpRle8(stone.indices, stone.palette))) {
        return false;
    }
    std::vector<uint8_t> music;
    if (!encodeMp3(synthesizeWinterTune(), kTuneChannels, kTuneSampleRate, music)) return false;
    if (!writeFile(root, kMusicFile.path, music)) return false;
    // The icons are installed from here into the hicolor theme, not read by the demo.
    for (int size : kAppIconSizes) {
        const Picture icon = makeAppIcon(size);
        std::vector<uint8_t> png;
        std::string error;
        if (!encodePng(icon.width, icon.height, icon.channels, icon.pixels.data(), png, error)) {
            report("Could not encode the icon: " + error);
            return false;
        }
        const std::string sizeName = std::to_string(size) + "x" + std::to_string(size);
        if (!writeFile(root, "icons/hicolor/" + sizeName + "/apps/snowdemo.png", png)) {
            return false;
        }
    }
    return true;
}

const char* const kGenerateHelp =
    "Write the demo's runtime data under DIR, the same bytes on every run: the files\n"
    "marked * below; and the icon for menus, icons/hicolor/SIZExSIZE/apps/snowdemo.png\n"
    "for SIZE 48, 64, 128 and 256.";

int runGenerateCommand(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: snowdemo-assets generate DIR\n");
        return 2;
    }
    return generateAssets(argv[1]) ? 0 : 1;
}
