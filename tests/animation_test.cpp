// The idle step against a real GL: the sun, the hop, the camera keys and the light
// position GL receives.
#include "app/animation.h"

#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>

#include "app/scene_state.h"
#include "tests/support/program_state.h"
#include "timing/perf_counter.h"
#include "timing/perf_timer.h"

namespace {

int64_t fakeTicks = 0;
int64_t readFakeTicks() {
    return fakeTicks;
}

class AnimationTest : public testing::Test {
  protected:
    void SetUp() override {
        resetProgramState();
        perfCounterReader = readFakeTicks;
        perfCounterFrequency = 1000;
        frameTimer = PerfTimer{};
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    void TearDown() override {
        perfCounterReader = readMonotonicTicks;
        perfCounterFrequency = kMonotonicTicksPerSecond;
    }
    // One idle call `ms` milliseconds after the previous one.
    void idleAfter(int64_t ms) {
        fakeTicks += ms;
        onIdle();
    }
    float lightY() {
        GLfloat position[4];
        glGetLightfv(GL_LIGHT0, GL_POSITION, position);
        return position[1];
    }
};

TEST_F(AnimationTest, SunRisesTurnsAboveFortyAndHasPeriodOf130Calls) {
    onIdle();
    EXPECT_EQ(scene.sunPosition[1], 20.700000762939453125f);
    EXPECT_EQ(lightY(), 20.700000762939453125f);
    for (int call = 2; call <= 29; ++call) onIdle();
    EXPECT_NEAR(scene.sunPosition[1], 40.3f, 1e-4);
    EXPECT_NEAR(lightY(), 40.3f, 1e-4);  // one step past the bound reaches the light
    EXPECT_EQ(scene.sunStep, 0.7f);
    onIdle();
    EXPECT_EQ(scene.sunStep, -0.7f);
    EXPECT_EQ(scene.sunPosition[1], 40.0f - 0.7f);
    EXPECT_EQ(lightY(), 40.0f - 0.7f);

    float lowest = 100.0f;
    float highest = -100.0f;
    float atCall30 = scene.sunPosition[1];
    for (int call = 31; call <= 160; ++call) {
        onIdle();
        lowest = std::fmin(lowest, scene.sunPosition[1]);
        highest = std::fmax(highest, scene.sunPosition[1]);
        EXPECT_NE(lightY(), 40.0f);
    }
    EXPECT_NEAR(scene.sunPosition[1], atCall30, 1e-4);  // call 160 repeats call 30
    EXPECT_EQ(scene.sunStep, -0.7f);
    EXPECT_NEAR(lowest, -5.5f, 0.1);
    EXPECT_NEAR(highest, 40.5f, 0.1);
}

TEST_F(AnimationTest, HopIsTriangleWaveWithPeriodOfThirtyCalls) {
    onIdle();
    EXPECT_DOUBLE_EQ(scene.hopOffset, -2.0);
    EXPECT_FALSE(scene.hopFalling);
    for (int call = 2; call <= 14; ++call) onIdle();
    EXPECT_FALSE(scene.hopFalling);
    onIdle();  // call 15 turns at about -0.6
    EXPECT_NEAR(scene.hopOffset, -0.6, 1e-9);
    EXPECT_TRUE(scene.hopFalling);
    for (int call = 16; call <= 29; ++call) onIdle();
    EXPECT_TRUE(scene.hopFalling);
    onIdle();  // call 30 is back at -2.1
    EXPECT_NEAR(scene.hopOffset, -2.1, 1e-9);
    EXPECT_FALSE(scene.hopFalling);
    onIdle();
    EXPECT_NEAR(scene.hopOffset, -2.0, 1e-9);
}

TEST_F(AnimationTest, CursorKeysScaleWithFrameSecondsPageKeysPerCall) {
    onIdle();
    scene.keys.leftHeld = true;
    scene.keys.downHeld = true;
    scene.keys.pageUpHeld = true;
    idleAfter(250);
    idleAfter(750);
    EXPECT_DOUBLE_EQ(scene.frameSeconds, 0.75);
    EXPECT_DOUBLE_EQ(scene.cameraAngle, 1.0);
    EXPECT_DOUBLE_EQ(scene.cameraDistance, 15.0);
    EXPECT_NEAR(scene.eyeHeight, 3.4, 1e-12);
    for (int i = 0; i < 8; ++i) idleAfter(0);  // page keys move without time passing
    EXPECT_NEAR(scene.eyeHeight, 5.0, 1e-12);
    EXPECT_DOUBLE_EQ(scene.cameraAngle, 1.0);
}

TEST_F(AnimationTest, OppositeKeysCancelAndNothingIsClamped) {
    onIdle();
    scene.keys.leftHeld = scene.keys.rightHeld = true;
    scene.keys.pageUpHeld = scene.keys.pageDownHeld = true;
    idleAfter(333);
    EXPECT_NEAR(scene.cameraAngle, 0.0, 1e-12);
    EXPECT_NEAR(scene.eyeHeight, 3.0, 1e-12);
    scene.keys = HeldKeys{};
    scene.keys.upHeld = true;
    idleAfter(2500);  // 12.5 units nearer than 10: the eye passes through the target
    EXPECT_DOUBLE_EQ(scene.cameraDistance, -2.5);
    scene.keys = HeldKeys{};
    scene.keys.pageDownHeld = true;
    for (int i = 0; i < 40; ++i) idleAfter(1);
    EXPECT_NEAR(scene.eyeHeight, -5.0, 1e-9);  // below the ground, unclamped
}

TEST_F(AnimationTest, FirstStepWithHeldKeyAppliesWholeStartUp) {
    fakeTicks += 4000;  // start-up since the timer was made
    scene.keys.leftHeld = true;
    onIdle();
    EXPECT_DOUBLE_EQ(scene.cameraAngle, 4.0);
}

TEST_F(AnimationTest, LightIsDirectionTransformedByCameraRotation) {
    gluLookAt(0.0, 3.0, 10.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glTranslatef(0.8f, -0.5f, 0.1f);  // the snowman's translation must not reach the light
    onIdle();
    GLfloat eye[4];
    glGetLightfv(GL_LIGHT0, GL_POSITION, eye);

    // The view rotation: rows are the camera's right, up and backward axes.
    const double len = std::sqrt(9.0 + 100.0);
    const double back[3] = {0.0, 3.0 / len, 10.0 / len};
    const double right[3] = {1.0, 0.0, 0.0};
    const double up[3] = {0.0, back[2], -back[1]};
    const double world[3] = {150.0, 20.700000762939453125, 150.0};
    auto dot = [&](const double* axis) {
        return axis[0] * world[0] + axis[1] * world[1] + axis[2] * world[2];
    };
    EXPECT_NEAR(eye[0], dot(right), 1e-3);
    EXPECT_NEAR(eye[1], dot(up), 1e-3);
    EXPECT_NEAR(eye[2], dot(back), 1e-3);
    EXPECT_EQ(eye[3], 0.0f);
}

TEST_F(AnimationTest, StepsLeaveMatrixModeAndStackDepthsAlone) {
    glMatrixMode(GL_PROJECTION);
    GLint before[3];
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &before[0]);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &before[1]);
    glGetIntegerv(GL_TEXTURE_STACK_DEPTH, &before[2]);
    GLfloat modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    for (int i = 0; i < 1000; ++i) onIdle();
    GLint after[3];
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &after[0]);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &after[1]);
    glGetIntegerv(GL_TEXTURE_STACK_DEPTH, &after[2]);
    EXPECT_EQ(before[0], after[0]);
    EXPECT_EQ(before[1], after[1]);
    EXPECT_EQ(before[2], after[2]);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_PROJECTION);
    GLfloat modelviewAfter[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelviewAfter);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(modelview[i], modelviewAfter[i]);
}

}  // namespace
