// Whole frames against a real GL, with the data the build made: the state a frame
// leaves behind and the matrices it hands on. (What it puts on the screen is checked end
// to end, on the real program's screenshots.)
#include "app/frame_drawing.h"

#include <GL/freeglut.h>
#include <GL/glu.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "app/animation.h"
#include "app/scene_setup.h"
#include "app/scene_state.h"
#include "app/window_input.h"
#include "tests/support/gl_state.h"
#include "tests/support/program_state.h"
#include "tests/support/report_recorder.h"
#include "tests/support/working_directory.h"
#include "timing/perf_timer.h"

namespace {
// GLU's quadric constructor fails only when memory runs out; here it fails on demand.
bool quadricFails = false;
}  // namespace

extern "C" GLUquadric* gluNewQuadric() {
    using NewQuadric = GLUquadric* (*)();
    static const auto real = reinterpret_cast<NewQuadric>(dlsym(RTLD_NEXT, "gluNewQuadric"));
    return quadricFails ? nullptr : real();
}

namespace {

class FrameDrawingTest : public testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        resetProgramState();
        initScene();
        onReshape(800, 600);
    }
    // One idle step and one frame, as GLUT's loop runs them.
    void step() {
        onIdle();
        onDisplay();
    }
    WorkingDirectory workingDirectory{SNOW_RUN_DIR};
    ReportRecorder recorder;
};

// The camera's view matrix, as gluLookAt makes it.
void viewMatrix(GLfloat out[16]) {
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    gluLookAt(std::sin(scene.cameraAngle) * scene.cameraDistance, scene.eyeHeight,
              std::cos(scene.cameraAngle) * scene.cameraDistance, 0, 0, 0, 0, 1, 0);
    glGetFloatv(GL_MODELVIEW_MATRIX, out);
    glPopMatrix();
}

TEST_F(FrameDrawingTest, LeavesKnownStateBehind) {
    GLint modelviewDepth = glInteger(GL_MODELVIEW_STACK_DEPTH);
    GLint projectionDepth = glInteger(GL_PROJECTION_STACK_DEPTH);
    std::array<GLfloat, 16> projection = glFloats<16>(GL_PROJECTION_MATRIX);
    for (int i = 0; i < 3; ++i) step();
    EXPECT_TRUE(recordedReports().empty());

    EXPECT_EQ(glInteger(GL_MATRIX_MODE), GL_MODELVIEW);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(glInteger(GL_CURRENT_PROGRAM), 0);
    EXPECT_EQ(textureEnvironmentMode(), GL_MODULATE);
    EXPECT_EQ(glFloats<3>(GL_CURRENT_COLOR), (std::array<GLfloat, 3>{1.0f, 1.0f, 1.0f}));

    EXPECT_EQ(glInteger(GL_MODELVIEW_STACK_DEPTH), modelviewDepth);
    EXPECT_EQ(glInteger(GL_PROJECTION_STACK_DEPTH), projectionDepth);
    EXPECT_EQ(glFloats<16>(GL_PROJECTION_MATRIX), projection);
}

TEST_F(FrameDrawingTest, HandsOnViewMatrixAndSnowmanTranslation) {
    scene.cameraAngle = M_PI / 2;  // the eye at (10, 3, 0)
    step();
    GLfloat view[16];
    viewMatrix(view);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(scene.lightViewMatrix[i], view[i], 1e-5) << i;

    // The frame leaves the camera followed by the snowman's net translation.
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadMatrixf(view);
    glTranslatef(0.8f, static_cast<GLfloat>(scene.hopOffset) + 1.6f, 0.1f);
    GLfloat expected[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, expected);
    glPopMatrix();
    GLfloat left[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, left);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(left[i], expected[i], 1e-4) << i;
}

TEST_F(FrameDrawingTest, WithoutQuadricsTheSnowmanAndTheSunAreSkipped) {
    quadricFails = true;
    initScene();
    EXPECT_EQ(sceneQuadric, nullptr);
    step();
    quadricFails = false;
    EXPECT_TRUE(recordedReports().empty());
    // The frame leaves the camera alone: no snowman translation followed it.
    GLfloat view[16];
    viewMatrix(view);
    GLfloat left[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, left);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(left[i], view[i], 1e-5) << i;
    EXPECT_STRNE(scene.fpsText, "");
}

TEST_F(FrameDrawingTest, FirstFramePrintsFirstPublishedRate) {
    framesPerSecond = 0;
    frameTimer = PerfTimer{};
    step();
    EXPECT_STREQ(scene.fpsText, "1 fps");
}

}  // namespace
