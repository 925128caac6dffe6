// Key callbacks and the reshape callback against a real GL.
#include "app/window_input.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "app/scene_state.h"
#include "tests/support/gl_state.h"
#include "tests/support/program_state.h"

namespace {

class WindowInputTest : public testing::Test {
  protected:
    void SetUp() override { resetProgramState(); }
    static bool anyHeld() {
        const HeldKeys& k = scene.keys;
        return k.leftHeld || k.rightHeld || k.upHeld || k.downHeld || k.pageUpHeld ||
               k.pageDownHeld;
    }
};

TEST_F(WindowInputTest, SpecialKeysSetAndClearTheirFlags) {
    struct Case {
        int key;
        bool HeldKeys::*flag;
    };
    const Case cases[] = {
        {GLUT_KEY_LEFT, &HeldKeys::leftHeld},      {GLUT_KEY_UP, &HeldKeys::upHeld},
        {GLUT_KEY_RIGHT, &HeldKeys::rightHeld},    {GLUT_KEY_DOWN, &HeldKeys::downHeld},
        {GLUT_KEY_PAGE_UP, &HeldKeys::pageUpHeld}, {GLUT_KEY_PAGE_DOWN, &HeldKeys::pageDownHeld},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        onSpecialDown(c.key, 5, 7);
        onSpecialDown(c.key, 5, 7);  // auto-repeat keeps it held
        EXPECT_TRUE(scene.keys.*c.flag);
        HeldKeys others = scene.keys;
        others.*c.flag = false;
        EXPECT_FALSE(others.leftHeld || others.rightHeld || others.upHeld || others.downHeld ||
                     others.pageUpHeld || others.pageDownHeld);
        onSpecialUp(c.key, 0, 0);  // one release clears it
        EXPECT_FALSE(anyHeld());
    }
}

TEST_F(WindowInputTest, ReleaseOfUnseenPressAndOtherKeysChangeNothing) {
    onSpecialUp(GLUT_KEY_LEFT, 0, 0);
    EXPECT_FALSE(anyHeld());
    for (int key :
         {GLUT_KEY_HOME, GLUT_KEY_END, GLUT_KEY_INSERT, GLUT_KEY_F1, GLUT_KEY_F12, 99, 106, -1}) {
        onSpecialDown(key, 0, 0);
        EXPECT_FALSE(anyHeld()) << key;
    }
    onSpecialDown(GLUT_KEY_LEFT, 0, 0);
    onSpecialDown(GLUT_KEY_RIGHT, 0, 0);
    EXPECT_TRUE(scene.keys.leftHeld && scene.keys.rightHeld);
}

TEST_F(WindowInputTest, CharacterKeysOtherThanEscapeDoNothing) {
    SceneState before = scene;
    const unsigned char keys[] = {'a', 'A', 'q', 'Q', ' ', '\r', 26, 28};
    for (unsigned char key : keys) onKeyboard(key, 0, 0);
    EXPECT_EQ(std::memcmp(&before.keys, &scene.keys, sizeof(HeldKeys)), 0);
    EXPECT_EQ(before.cameraAngle, scene.cameraAngle);
}

TEST_F(WindowInputTest, EscapeExitsWithStatusZeroEvenWithKeysHeld) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    onSpecialDown(GLUT_KEY_LEFT, 0, 0);
    EXPECT_EXIT(onKeyboard(27, 0, 0), testing::ExitedWithCode(0), "");
}

// GL keeps matrices in single precision.
constexpr double kFloatTolerance = 1e-6;

// Aspect ratio of the perspective in the projection matrix.
double projectedAspect() {
    GLdouble m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    return m[5] / m[0];
}

TEST_F(WindowInputTest, ReshapeSetsPerspectiveViewportAndLeavesProjectionMode) {
    glMatrixMode(GL_MODELVIEW);
    onReshape(1024, 768);
    EXPECT_NEAR(projectedAspect(), 4.0 / 3.0, kFloatTolerance);
    GLdouble m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    EXPECT_NEAR(m[5], 1.0 / std::tan(22.5 * M_PI / 180.0), kFloatTolerance);  // 45 degrees vertical
    EXPECT_NEAR(m[10], -(1000.0 + 1.0) / (1000.0 - 1.0), kFloatTolerance);
    EXPECT_NEAR(m[14], -2.0 * 1000.0 * 1.0 / (1000.0 - 1.0), kFloatTolerance);
    EXPECT_EQ(glIntegers<4>(GL_VIEWPORT), (std::array<GLint, 4>{0, 0, 1024, 768}));
    EXPECT_EQ(glInteger(GL_MATRIX_MODE), GL_PROJECTION);
    EXPECT_EQ(scene.windowWidth, 800);
    EXPECT_EQ(scene.windowHeight, 600);
}

TEST_F(WindowInputTest, ReshapeWithHeightZeroUsesOne) {
    onReshape(640, 0);
    EXPECT_NEAR(projectedAspect(), 640.0, 640.0 * kFloatTolerance);
    EXPECT_EQ(glIntegers<4>(GL_VIEWPORT), (std::array<GLint, 4>{0, 0, 640, 1}));
}

}  // namespace
