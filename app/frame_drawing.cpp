// Drawing one frame: pyramids, snow ground, the shaded snowman, the sun and the frame
// rate, in immediate mode, from the scene state alone.
#include "app/frame_drawing.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdio>

#include "app/scene_state.h"
#include "timing/perf_timer.h"

namespace {

struct Pyramid {
    GLubyte colour[3];
    GLfloat apex[3];
    GLfloat base[3][2];  // x and z; every base vertex stands on the ground
};

const Pyramid kPyramids[] = {
    {{228, 27, 159}, {2, 10, 19}, {{5, 13}, {-3, 21}, {10, 25}}},
    {{1, 224, 43}, {-8, 9, 22}, {{-2, 30}, {-3, 14}, {-18, 21}}},
    {{92, 0, 217}, {-16, 7, 3}, {{-12, 9}, {-14, -2}, {-25, 6}}},
    {{241, 119, 0}, {-12, 7, 11}, {{-7, 16}, {-11, 5}, {-20, 13}}},
};

struct SnowmanPart {
    GLfloat offset[3];  // added to every translation before it
    GLdouble radius;
    GLint slices;
};

void setCamera() {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(scene.cameraTargetX + std::sin(scene.cameraAngle) * scene.cameraDistance,
              scene.eyeHeight,
              scene.cameraTargetZ + std::cos(scene.cameraAngle) * scene.cameraDistance,
              scene.cameraTargetX, 0.0, scene.cameraTargetZ, 0.0, 1.0, 0.0);
}

// Lit by the normal the previous frame's sun left, so each pyramid has one shade.
void drawPyramids() {
    const GLfloat g = scene.groundLevel;
    for (const Pyramid& p : kPyramids) {
        glBegin(GL_TRIANGLE_FAN);
        glColor3ub(p.colour[0], p.colour[1], p.colour[2]);
        glVertex3f(p.apex[0], p.apex[1], p.apex[2]);
        for (int i = 0; i <= 3; ++i) glVertex3f(p.base[i % 3][0], g, p.base[i % 3][1]);
        glEnd();
    }
}

void drawGround() {
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, snowTexture.textureId);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    const GLfloat g = scene.groundLevel;
    glBegin(GL_POLYGON);
    glTexCoord2f(0, 0);
    glVertex3f(-150, g, -150);
    glTexCoord2f(5, 0);
    glVertex3f(-150, g, 150);
    glTexCoord2f(5, 5);
    glVertex3f(150, g, 150);
    glTexCoord2f(0, 5);
    glVertex3f(150, g, -150);
    glEnd();
}

void prepareSnowman() {
    glEnable(GL_LIGHTING);
    glBindTexture(GL_TEXTURE_2D, normalMapTexture.textureId);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    // Set through colour material, then frozen for the snowman by switching it off.
    glColor4f(0.8f, 0.8f, 0.8f, 1.0f);
    glDisable(GL_COLOR_MATERIAL);
    sceneShader.bind();
    sceneShader.setUniform1i("normalmap", 0);
    sceneShader.setUniformMatrix4("light_mvmatrix", 1, GL_FALSE, scene.lightViewMatrix);
}

// No push or pop between the parts: each translation builds on the ones before it.
void drawSnowman() {
    // Without the quadric (GLU could not make one) there is nothing to draw spheres with.
    if (sceneQuadric == nullptr) return;
    const SnowmanPart parts[] = {
        {{0.0f, static_cast<GLfloat>(scene.hopOffset), 0.0f}, 1.0, 50},
        {{0.0f, 1.5f, 0.0f}, 0.8f, 40},
        {{0.0f, 1.1f, 0.0f}, 0.5, 30},
        {{-0.8f, -1.0f, 0.1f}, 0.2f, 15},
        {{1.6f, 0.0f, 0.0f}, 0.2f, 15},
    };
    for (const SnowmanPart& part : parts) {
        glTranslatef(part.offset[0], part.offset[1], part.offset[2]);
        gluSphere(sceneQuadric, part.radius, part.slices, part.slices);
    }
}

void drawSun() {
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_COLOR_MATERIAL);
    glDisable(GL_LIGHTING);
    glColor3f(1.0f, 1.0f, 0.5f);
    GLUquadric* sun = gluNewQuadric();
    if (sun != nullptr) {
        gluQuadricDrawStyle(sun, GLU_FILL);
        glPushMatrix();
        glTranslatef(scene.sunPosition[0], scene.sunPosition[1], scene.sunPosition[2]);
        gluSphere(sun, 5.0, 25, 25);
        glPopMatrix();
        gluDeleteQuadric(sun);
    }
    glEnable(GL_LIGHTING);
}

}  // namespace

void onDisplay() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    setCamera();
    drawPyramids();
    glGetFloatv(GL_MODELVIEW_MATRIX, scene.lightViewMatrix);
    drawGround();
    prepareSnowman();
    drawSnowman();
    sceneShader.unbind();
    drawSun();
    frameTimer.countFrame();
    std::snprintf(scene.fpsText, sizeof scene.fpsText, "%d fps", framesPerSecond);
    sceneFont.print(25, scene.windowHeight - 40, scene.fpsText, 0, 2.0f);
    glFlush();
    glutSwapBuffers();
}
