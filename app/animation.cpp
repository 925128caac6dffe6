// One animation step: the sun and the hop move by fixed amounts per call, the camera
// by the held keys scaled with the measured time step.
#include "app/animation.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

#include "app/scene_state.h"
#include "app/signal_exit.h"
#include "timing/perf_timer.h"

namespace {

void stepSun() {
    float& y = scene.sunPosition[1];
    // The bounds are tested before the step, so the light may see one step past a bound.
    if (y < -5.0f) {
        scene.sunStep *= -1.0f;
        y = -5.0f;
    }
    if (y > 40.0f) {
        scene.sunStep *= -1.0f;
        y = 40.0f;
    }
    y = y + scene.sunStep;
}

void applyHeldKeys() {
    const HeldKeys& keys = scene.keys;
    if (keys.leftHeld) scene.cameraAngle = 1.0 * scene.frameSeconds + scene.cameraAngle;
    if (keys.rightHeld) scene.cameraAngle = scene.cameraAngle - 1.0 * scene.frameSeconds;
    if (keys.upHeld) scene.cameraDistance = scene.cameraDistance - 5.0 * scene.frameSeconds;
    if (keys.downHeld) scene.cameraDistance = 5.0 * scene.frameSeconds + scene.cameraDistance;
    if (keys.pageUpHeld) scene.eyeHeight = scene.eyeHeight + 0.2;
    if (keys.pageDownHeld) scene.eyeHeight = scene.eyeHeight - 0.2;
}

void stepHop() {
    if (!scene.hopFalling) {
        scene.hopOffset = scene.hopOffset + scene.hopStep;
    } else {
        scene.hopOffset = scene.hopOffset - scene.hopStep;
    }
    // Single-precision bounds widened to double: the turns fall on exact calls (15 and 30).
    if (scene.hopOffset >= static_cast<double>(-0.6f)) scene.hopFalling = true;
    if (scene.hopOffset <= static_cast<double>(-2.1f)) scene.hopFalling = false;
}

}  // namespace

void onIdle() {
    // Called every frame, so a caught signal ends the demo within one frame.
    exitOnCaughtSignal();
    scene.frameSeconds = frameTimer.frameDelta();
    stepSun();
    // Set under the matrix the previous frame left: only the camera's rotation reaches a
    // directional light.
    glLightfv(GL_LIGHT0, GL_POSITION, scene.sunPosition);
    applyHeldKeys();
    stepHop();
    glutPostRedisplay();
}
