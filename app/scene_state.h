// The state the whole demo shares: camera, sun and light, the snowman's hop,
// the held keys, the frame-rate text, and the program-wide resource objects.
#pragma once

#include <GL/glu.h>

#include "audio/music.h"
#include "render/bmp_texture.h"
#include "render/shader_program.h"
#include "render/texture_font.h"
#include "timing/perf_timer.h"

struct HeldKeys {
    bool leftHeld = false;
    bool rightHeld = false;
    bool upHeld = false;
    bool downHeld = false;
    bool pageUpHeld = false;
    bool pageDownHeld = false;
};

// framesPerSecond is published by the frame timer and declared with it.
struct SceneState {
    double cameraAngle = 0.0;
    double cameraDistance = 10.0;
    double eyeHeight = 3.0;
    double cameraTargetX = 0.0;
    double cameraTargetZ = 0.0;

    float sunPosition[4] = {150.0f, 20.0f, 150.0f, 0.0f};
    float sunStep = 0.7f;

    double hopOffset = -2.1;
    double hopStep = 0.1;
    bool hopFalling = false;
    float groundLevel = -2.6f;

    // The font's text frame; the window's first size too.
    int windowWidth = kTextFrameWidth;
    int windowHeight = kTextFrameHeight;

    double frameSeconds = 0.0;
    char fpsText[80] = {};
    float lightViewMatrix[16] = {};

    HeldKeys keys;
};

extern SceneState scene;

// Program-wide resources: made once by initScene, never released.
// (frameTimer is declared with PerfTimer.)
extern MusicStream* musicStream;  // set up once, never referred to again
extern TextureFont sceneFont;
extern BmpTexture normalMapTexture;
extern BmpTexture snowTexture;
extern BmpTexture stoneTexture;  // loaded, never drawn with
extern GLUquadric* sceneQuadric;
extern ShaderProgram sceneShader;
