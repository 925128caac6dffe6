// One-time scene set-up. It looks at no result: a missing file has been reported by
// its reader, and the rest of the scene is set up all the same.
#include "app/scene_setup.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "app/scene_state.h"
#include "audio/music.h"
#include "base/run_files.h"

namespace {

const GLfloat kMaterialSpecular[] = {1.0f, 1.0f, 1.0f, 1.0f};
const GLfloat kMaterialShininess[] = {50.0f};
const GLfloat kAmbientLight[] = {0.5f, 0.5f, 0.5f, 0.0f};
const GLfloat kLightDiffuse[] = {1.0f, 1.0f, 1.0f, 1.0f};
const GLfloat kLightSpecular[] = {1.0f, 1.0f, 1.0f, 1.0f};

void startMusic() {
    musicInit(kMusicMixRate, kMusicMixChannels);
    musicStream = musicStreamOpen(kMusicFile.path);
    musicStreamPlay(0, musicStream);
    musicStreamSetLoopCount(musicStream, kMusicLoopCount);
}

void setFixedState() {
    glClearColor(0.3f, 0.3f, 0.8f, 0.0f);
    glShadeModel(GL_SMOOTH);
    glMaterialfv(GL_FRONT, GL_SPECULAR, kMaterialSpecular);
    glMaterialfv(GL_FRONT, GL_SHININESS, kMaterialShininess);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, kAmbientLight);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, kLightDiffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, kLightSpecular);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_DEPTH_TEST);
}

}  // namespace

void initScene() {
    startMusic();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    setFixedState();
    sceneFont.build(kFontAtlasFile.path);
    normalMapTexture.load(kNormalMapFile.path);
    snowTexture.load(kSnowTextureFile.path);
    stoneTexture.load(kStoneTextureFile.path);
    sceneQuadric = gluNewQuadric();
    // GLU gives no quadric when memory runs out; the frames then draw no snowman.
    if (sceneQuadric != nullptr) {
        gluQuadricNormals(sceneQuadric, GLU_SMOOTH);
        gluQuadricTexture(sceneQuadric, GL_TRUE);
    }
    sceneShader.load(kVertexShaderFile.path, kFragmentShaderFile.path);
}
