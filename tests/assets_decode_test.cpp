// The real snowdemo-assets binary: its help, and decode on valid and refused files.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "tests/support/temp_dir.h"
#include "tests/support/tga_file.h"

namespace {

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

class AssetsDecodeTest : public testing::Test {
  protected:
    // Runs the tool with the given arguments (already quoted for the shell); a run that
    // hangs ends with status 124.
    ToolRun tool(const std::string& arguments) {
        std::string outPath = dir.file("stdout.txt");
        std::string errPath = dir.file("stderr.txt");
        std::string command = std::string("timeout 30 '") + SNOW_ASSETS_TOOL + "' " + arguments +
                              " >'" + outPath + "' 2>'" + errPath + "'";
        int raw = std::system(command.c_str());
        ToolRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, text(outPath), text(errPath)};
        return run;
    }
    ToolRun decode(const Bytes& tga, const std::string& outName, const char* inName = "in.tga") {
        std::string in = dir.write(inName, tga);
        return tool("decode '" + in + "' '" + dir.file(outName) + "'");
    }
    static std::string text(const std::string& path) {
        auto bytes = readWholeFile(path);
        return std::string(bytes.begin(), bytes.end());
    }
    bool exists(const std::string& name) { return std::filesystem::exists(dir.file(name)); }

    TempDir dir;
};

// A 2 x 3 picture, file rows A, B, C from the bottom; each pixel B,G,R(,A) in the file.
Bytes threeRows(uint32_t bytesPerPixel) {
    Bytes pixels;
    for (uint8_t row = 0; row < 3; ++row) {
        for (uint8_t x = 0; x < 2; ++x) {
            pixels.insert(pixels.end(), {uint8_t(row * 10 + x), uint8_t(100 + row), 200});
            if (bytesPerPixel == 4) pixels.push_back(uint8_t(50 + x));
        }
    }
    return pixels;
}

TEST_F(AssetsDecodeTest, HelpExplainsTheCommands) {
    ToolRun help = tool("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: snowdemo-assets COMMAND"), std::string::npos);
    EXPECT_NE(help.out.find("  decode FILE OUT\n"), std::string::npos);
    EXPECT_NE(help.out.find(".pam (Netpbm P7"), std::string::npos);
    EXPECT_EQ(help.err, "");

    ToolRun bare = tool("");
    EXPECT_EQ(bare.status, 2);
    EXPECT_NE(bare.err.find("  decode FILE OUT\n"), std::string::npos);
    ToolRun unknown = tool("shrink x");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err, "snowdemo-assets: unknown command \"shrink\" (see --help)\n");
    ToolRun missing = tool("decode only-one.tga");
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "Usage: snowdemo-assets decode FILE OUT\n");
}

TEST_F(AssetsDecodeTest, PamHasTheFirstDecodedRowAtTheBottom) {
    ToolRun rgb = decode(tgaFile(2, 2, 3, 24, threeRows(3)), "rgb.pam");
    ASSERT_EQ(rgb.status, 0) << rgb.err;
    EXPECT_EQ(rgb.out + rgb.err, "");
    std::string expected = "P7\nWIDTH 2\nHEIGHT 3\nDEPTH 3\nMAXVAL 255\nTUPLTYPE RGB\nENDHDR\n";
    expected += std::string{char(200), char(102), char(20), char(200), char(102), char(21)};
    expected += std::string{char(200), char(101), char(10), char(200), char(101), char(11)};
    expected += std::string{char(200), char(100), char(0), char(200), char(100), char(1)};
    EXPECT_EQ(text(dir.file("rgb.pam")), expected);

    // ToolRun-length, 32 bits, upper-case names.
    ToolRun rgba = decode(tgaFile(10, 2, 3, 32, rlePackets(threeRows(4), 4)), "RGBA.PAM", "in.TGA");
    ASSERT_EQ(rgba.status, 0) << rgba.err;
    expected = "P7\nWIDTH 2\nHEIGHT 3\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    expected += std::string{char(200), char(102), char(20), char(50),
                            char(200), char(102), char(21), char(51)};
    expected += std::string{char(200), char(101), char(10), char(50),
                            char(200), char(101), char(11), char(51)};
    expected += std::string{char(200), char(100), char(0), char(50),
                            char(200), char(100), char(1), char(51)};
    EXPECT_EQ(text(dir.file("RGBA.PAM")), expected);
}

TEST_F(AssetsDecodeTest, PngHoldsTheSamePicture) {
    for (uint32_t bytesPerPixel : {3u, 4u}) {
        uint8_t bits = static_cast<uint8_t>(bytesPerPixel * 8);
        ToolRun run = decode(tgaFile(2, 2, 3, bits, threeRows(bytesPerPixel)), "out.png");
        ASSERT_EQ(run.status, 0) << run.err;

        png_image image;
        std::memset(&image, 0, sizeof image);
        image.version = PNG_IMAGE_VERSION;
        std::string path = dir.file("out.png");
        ASSERT_NE(png_image_begin_read_from_file(&image, path.c_str()), 0);
        EXPECT_EQ(image.width, 2u);
        EXPECT_EQ(image.height, 3u);
        EXPECT_EQ(PNG_IMAGE_PIXEL_CHANNELS(image.format), bytesPerPixel);
        Bytes pixels(PNG_IMAGE_SIZE(image));
        ASSERT_NE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr), 0);
        // Top row first: the file's last row, then the middle one, then the first.
        Bytes expected;
        Bytes source = swappedRedBlue(threeRows(bytesPerPixel), bytesPerPixel);
        for (int row = 2; row >= 0; --row) {
            auto start = source.begin() + row * 2 * bytesPerPixel;
            expected.insert(expected.end(), start, start + 2 * bytesPerPixel);
        }
        EXPECT_EQ(pixels, expected);
    }
}

TEST_F(AssetsDecodeTest, RefusedFileGetsTheReadersMessageAndWritesNothing) {
    Bytes greyScale = tgaFile(3, 2, 2, 8, Bytes(4, 0));
    ToolRun invalid = decode(greyScale, "out.pam");
    EXPECT_EQ(invalid.status, 1);
    EXPECT_EQ(invalid.err, "Invalid Image: TGA file be type 2 or type 10 \n");
    EXPECT_EQ(invalid.out, "");

    ToolRun tooMany = decode(tgaFile(10, 1, 1, 24, {129, 1, 2, 3}), "out.png");
    EXPECT_EQ(tooMany.status, 1);
    EXPECT_EQ(tooMany.err, "ERROR: Too many pixels read\n");

    ToolRun absent = tool("decode '" + dir.file("absent.tga") + "' '" + dir.file("out.pam") + "'");
    EXPECT_EQ(absent.status, 1);
    EXPECT_EQ(absent.err, "ERROR: Could not open texture file\n");

    // A path that is no regular file is refused at once by either reader; a FIFO without a
    // writer would block the open for good.
    for (const char* name : {"pipe.tga", "pipe.bmp"}) {
        ASSERT_EQ(mkfifo(dir.file(name).c_str(), 0600), 0);
    }
    ToolRun tgaPipe = tool("decode '" + dir.file("pipe.tga") + "' '" + dir.file("out.pam") + "'");
    EXPECT_EQ(tgaPipe.status, 1);
    EXPECT_EQ(tgaPipe.err, "ERROR: Could not open texture file\n");
    ToolRun bmpPipe = tool("decode '" + dir.file("pipe.bmp") + "' '" + dir.file("out.pam") + "'");
    EXPECT_EQ(bmpPipe.status, 1);
    EXPECT_EQ(bmpPipe.err, "Error: Failed to open DIB file " + dir.file("pipe.bmp") + ".\n");
    ToolRun directory = tool("decode '" + dir.path() + "' '" + dir.file("out.pam") + "'");
    EXPECT_EQ(directory.status, 1);
    EXPECT_EQ(directory.err, "Error: Failed to open DIB file " + dir.path() + ".\n");
    EXPECT_FALSE(exists("out.pam"));
    EXPECT_FALSE(exists("out.png"));
}

TEST_F(AssetsDecodeTest, OtherNamesAreReadAsBmp) {
    // 2 x 2, 24 bits, bottom row first in the file: blue, green; then red, white.
    Bytes bmp = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  40,
                 0,   0,   0,  2, 0, 0, 0, 2, 0, 0, 0,  1, 0, 24, 0};
    bmp.resize(54, 0);
    Bytes rows = {255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 255, 0};
    bmp.insert(bmp.end(), rows.begin(), rows.end());
    std::string path = dir.write("picture.dib", bmp);
    ToolRun run = tool("decode '" + path + "' '" + dir.file("out.pam") + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    std::string expected = "P7\nWIDTH 2\nHEIGHT 2\nDEPTH 3\nMAXVAL 255\nTUPLTYPE RGB\nENDHDR\n";
    expected += std::string{char(255), char(0), char(0), char(255), char(255), char(255)};
    expected += std::string{char(0), char(0), char(255), char(0), char(255), char(0)};
    EXPECT_EQ(text(dir.file("out.pam")), expected);
}

TEST_F(AssetsDecodeTest, OtherFormatsAndOutputsAreRefused) {
    Bytes valid = tgaFile(2, 1, 1, 24, {1, 2, 3});
    std::string bmp = dir.write("picture.bmp", valid);
    ToolRun other = tool("decode '" + bmp + "' '" + dir.file("out.pam") + "'");
    EXPECT_EQ(other.status, 1);
    EXPECT_EQ(other.err, "Error: Unknown DIB file format.\n");
    EXPECT_FALSE(exists("out.pam"));

    ToolRun badOut = decode(valid, "out.jpg");
    EXPECT_EQ(badOut.status, 2);
    EXPECT_EQ(badOut.err, "snowdemo-assets decode: " + dir.file("out.jpg") +
                              ": OUT must end in .pam or .png\n");
    EXPECT_FALSE(exists("out.pam"));
    EXPECT_FALSE(exists("out.jpg"));

    std::string nowhere = dir.file("no/such/dir/out.png");
    ToolRun unwritable = decode(valid, "no/such/dir/out.png");
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.err,
              "snowdemo-assets decode: cannot write " + nowhere + ": No such file or directory\n");
}

}  // namespace
