// The program-wide objects and `scene` as the program starts with them, for every
// fixture whose tests change them: a test then sees the same start whatever ran before it
// in the same process. Needs the GL context of the test binary.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdlib>

#include "app/scene_state.h"
#include "render/glyph_grid.h"
#include "timing/perf_timer.h"

// Releases what an earlier set-up made, so that repeated tests do not pile up GL objects,
// and zeroes every object as static storage starts. The music stream has no release in
// its interface and is left to play out.
inline void resetProgramState() {
    if (sceneFont.listBase != 0) glDeleteLists(sceneFont.listBase, kGlyphCount);
    for (uint32_t* texture : {&sceneFont.atlas.textureId, &normalMapTexture.textureId,
                              &snowTexture.textureId, &stoneTexture.textureId}) {
        if (*texture != 0) glDeleteTextures(1, texture);
    }
    std::free(sceneFont.atlas.pixels);
    if (sceneQuadric != nullptr) gluDeleteQuadric(sceneQuadric);
    sceneShader.release();

    scene = SceneState{};
    musicStream = nullptr;
    sceneFont = TextureFont{};
    normalMapTexture = BmpTexture{};
    snowTexture = BmpTexture{};
    stoneTexture = BmpTexture{};
    sceneQuadric = nullptr;
    sceneShader = ShaderProgram{};
    framesPerSecond = 0;
    frameTimer = PerfTimer{};
}
