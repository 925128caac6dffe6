// snowdemo-assets decode: reads a data file with the demo's own reader and writes what
// the demo would put on a texture, so it can be looked at or compared.
#include "tools/decode_command.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "render/bmp_reader.h"
#include "render/tga_reader.h"
#include "tools/file_extension.h"
#include "tools/picture_writer.h"

const char* const kDecodeHelp =
    "Decode FILE with the demo's own reader (TGA for a .tga name, BMP for any other)\n"
    "and write OUT as\n"
    "the picture the demo maps onto a texture: the decoded first row is OUT's bottom\n"
    "row. OUT's extension picks the format: .pam (Netpbm P7, RGB or RGB_ALPHA) or\n"
    ".png. A file the reader refuses gets the reader's own message on standard error\n"
    "and status 1, and OUT is not written.";

namespace {

struct FreePixels {
    void operator()(uint8_t* pixels) const { std::free(pixels); }
};

struct Decoded {
    DecodedPicture picture{};
    std::unique_ptr<uint8_t, FreePixels> pixels;
};

// FILE through the reader its name calls for; false once the failure has been told.
bool decodeFile(const std::string& path, Decoded& decoded) {
    if (!hasExtension(path, ".tga")) {
        RgbImage* image = readBmpImage(path.c_str());
        if (image == nullptr) return false;
        decoded.pixels.reset(image->pixels);
        decoded.picture = {static_cast<uint32_t>(image->width),
                           static_cast<uint32_t>(image->height), 3, image->pixels};
        std::free(image);
        return true;
    }
    TgaDecoder decoder{};
    TgaImage image{};
    if (!decoder.loadTga(&image, path.c_str())) return false;
    decoded.pixels.reset(image.pixels);
    decoded.picture = {image.width, image.height, image.bitsPerPixel / 8, image.pixels};
    return true;
}

}  // namespace

int runDecodeCommand(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "Usage: snowdemo-assets decode FILE OUT\n");
        return 2;
    }
    const std::string file = argv[1];
    const std::string out = argv[2];
    PictureFormat format;
    if (!pictureFormatFor(out, format)) {
        std::fprintf(stderr, "snowdemo-assets decode: %s: OUT must end in .pam or .png\n",
                     out.c_str());
        return 2;
    }
    Decoded decoded;
    if (!decodeFile(file, decoded)) return 1;
    std::string error;
    if (!writePicture(out, format, decoded.picture, error)) {
        std::fprintf(stderr, "snowdemo-assets decode: cannot write %s: %s\n", out.c_str(),
                     error.c_str());
        return 1;
    }
    return 0;
}
