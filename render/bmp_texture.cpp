// A BMP file as a mipmapped texture. A picture whose sides are not powers of two is
// scaled once, so that level 0 and the rest of the chain show the same picture.
#include "render/bmp_texture.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <climits>
#include <cstdlib>
#include <type_traits>

#include "render/bmp_reader.h"
#include "render/image_size.h"

static_assert(std::is_same<GLuint, uint32_t>::value, "textureId is handed to GL as a GLuint");
// gluBuild2DMipmaps widens every component to 16 bits and sizes that copy in int.
static_assert(kMaxImageSide * kMaxImageSide * 3 * sizeof(GLushort) <= INT_MAX,
              "the largest picture the readers give must stay within GLU's int arithmetic");

namespace {

// The power of two the mipmap builder scales a side to: the one below, unless the side
// reaches one and a half times it.
GLint mipmapSide(GLint side) {
    GLint power = 1;
    while (power <= side / 2) power *= 2;
    return 2 * (side - power) >= power ? 2 * power : power;
}

// The mipmap builder also halves both sides until level 0 fits the GL's limit.
void mipmapSize(GLint width, GLint height, GLint& mipmapWidth, GLint& mipmapHeight) {
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    mipmapWidth = mipmapSide(width);
    mipmapHeight = mipmapSide(height);
    while ((mipmapWidth > maxSize || mipmapHeight > maxSize) &&
           (mipmapWidth > 1 || mipmapHeight > 1)) {
        mipmapWidth = mipmapWidth > 1 ? mipmapWidth / 2 : 1;
        mipmapHeight = mipmapHeight > 1 ? mipmapHeight / 2 : 1;
    }
}

void uploadMipmapped(const RgbImage& image) {
    // The decoded rows are tightly packed, while GL by default reads (and gluScaleImage
    // writes) rows padded to 4 bytes.
    GLint unpackAlignment = 4;
    GLint packAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpackAlignment);
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);

    GLint width = image.width;
    GLint height = image.height;
    const uint8_t* pixels = image.pixels;
    GLint mipmapWidth = 0;
    GLint mipmapHeight = 0;
    mipmapSize(width, height, mipmapWidth, mipmapHeight);
    uint8_t* scaled = nullptr;
    if (mipmapWidth != width || mipmapHeight != height) {
        scaled = static_cast<uint8_t*>(
            std::malloc(static_cast<size_t>(mipmapWidth) * static_cast<size_t>(mipmapHeight) * 3));
        // Should scaling fail, the mipmap builder still scales for the chain itself.
        if (scaled && gluScaleImage(GL_RGB, width, height, GL_UNSIGNED_BYTE, pixels, mipmapWidth,
                                    mipmapHeight, GL_UNSIGNED_BYTE, scaled) == 0) {
            width = mipmapWidth;
            height = mipmapHeight;
            pixels = scaled;
        }
    }
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    std::free(scaled);

    glPixelStorei(GL_UNPACK_ALIGNMENT, unpackAlignment);
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
}

}  // namespace

uint8_t BmpTexture::load(const char* path) {
    uint8_t result = 1;
    RgbImage* image = readBmpImage(path);
    if (image) {
        result = 0;
        glGenTextures(1, &textureId);
        glBindTexture(GL_TEXTURE_2D, textureId);
        uploadMipmapped(*image);
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, static_cast<GLfloat>(GL_DECAL));
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        std::free(image->pixels);
        std::free(image);
    }
    return result;
}
