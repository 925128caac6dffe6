// Scene set-up against a real GL, in a copy of the run directory that the build made.
#include "app/scene_setup.h"

#include <GL/gl.h>
#include <SDL2/SDL_mixer.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/scene_state.h"
#include "tests/support/gl_state.h"
#include "tests/support/program_state.h"
#include "tests/support/report_recorder.h"
#include "tests/support/temp_dir.h"
#include "tests/support/working_directory.h"

namespace fs = std::filesystem;

namespace {

// Set-up in a copy of the run directory, so that a test may break the copy's files.
class SceneSetupTest : public testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        resetProgramState();
    }
    static fs::path copyOfRunDirectory(const TempDir& temp) {
        fs::copy(SNOW_RUN_DIR, temp.path(), fs::copy_options::recursive);
        return temp.path();
    }
    TempDir temp;
    WorkingDirectory workingDirectory{copyOfRunDirectory(temp)};
    ReportRecorder recorder;
};

void expectVector(GLenum light, GLenum name, const GLfloat (&expected)[4]) {
    GLfloat value[4];
    glGetLightfv(light, name, value);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(value[i], expected[i]) << name << " " << i;
}

TEST_F(SceneSetupTest, SetsFixedStateAndLoadsEverything) {
    initScene();
    EXPECT_TRUE(recordedReports().empty());

    EXPECT_EQ(glFloats<4>(GL_COLOR_CLEAR_VALUE), (std::array<GLfloat, 4>{0.3f, 0.3f, 0.8f, 0.0f}));
    for (GLenum cap : {GL_LIGHTING, GL_LIGHT0, GL_COLOR_MATERIAL, GL_DEPTH_TEST}) {
        EXPECT_TRUE(glIsEnabled(cap)) << cap;
    }
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(glInteger(GL_SHADE_MODEL), GL_SMOOTH);
    EXPECT_EQ(glIntegers<2>(GL_POLYGON_MODE), (std::array<GLint, 2>{GL_FILL, GL_FILL}));
    EXPECT_EQ(glInteger(GL_COLOR_MATERIAL_FACE), GL_FRONT_AND_BACK);
    EXPECT_EQ(glInteger(GL_COLOR_MATERIAL_PARAMETER), GL_AMBIENT_AND_DIFFUSE);
    EXPECT_EQ(glInteger(GL_MATRIX_MODE), GL_MODELVIEW);
    std::array<GLfloat, 16> modelview = glFloats<16>(GL_MODELVIEW_MATRIX);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(modelview[i], i % 5 == 0 ? 1.0f : 0.0f);

    expectVector(GL_LIGHT0, GL_DIFFUSE, {1, 1, 1, 1});
    expectVector(GL_LIGHT0, GL_SPECULAR, {1, 1, 1, 1});
    expectVector(GL_LIGHT0, GL_POSITION, {0, 0, 1, 0});  // set by the first idle step only
    EXPECT_EQ(glFloats<4>(GL_LIGHT_MODEL_AMBIENT),
              (std::array<GLfloat, 4>{0.5f, 0.5f, 0.5f, 0.0f}));
    GLfloat material[4];
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, material);
    EXPECT_EQ(material[0], 1.0f);
    glGetMaterialfv(GL_FRONT, GL_SHININESS, material);
    EXPECT_EQ(material[0], 50.0f);

    EXPECT_NE(sceneFont.atlas.pixels, nullptr);
    EXPECT_TRUE(glIsList(sceneFont.listBase));
    EXPECT_TRUE(glIsTexture(normalMapTexture.textureId));
    EXPECT_TRUE(glIsTexture(snowTexture.textureId));
    EXPECT_TRUE(glIsTexture(stoneTexture.textureId));
    EXPECT_NE(normalMapTexture.textureId, snowTexture.textureId);
    EXPECT_NE(snowTexture.textureId, stoneTexture.textureId);
    EXPECT_NE(sceneQuadric, nullptr);
    EXPECT_NE(sceneShader.program, 0u);

    // The music plays, mixed at 44100 Hz on 32 channels.
    int rate = 0;
    Uint16 format = 0;
    int channels = 0;
    ASSERT_NE(Mix_QuerySpec(&rate, &format, &channels), 0) << Mix_GetError();
    EXPECT_EQ(rate, 44100);
    EXPECT_EQ(Mix_AllocateChannels(-1), 32);
    EXPECT_NE(musicStream, nullptr);
    EXPECT_NE(Mix_PlayingMusic(), 0);
}

TEST_F(SceneSetupTest, MissingTextureIsReportedAndTheRestStillLoads) {
    fs::remove("textures/snow.bmp");
    fs::remove("audio/coolestshitever.mp3");  // silent: no report for the music
    initScene();
    ASSERT_EQ(recordedReports().size(), 1u);
    EXPECT_EQ(recordedReports()[0].text, "Failed to open DIB file textures/snow.bmp.\n");
    EXPECT_EQ(recordedReports()[0].caption, "Error");
    EXPECT_EQ(snowTexture.textureId, 0u);
    EXPECT_TRUE(glIsTexture(normalMapTexture.textureId));
    EXPECT_TRUE(glIsTexture(stoneTexture.textureId));
    EXPECT_NE(sceneQuadric, nullptr);
    EXPECT_NE(sceneShader.program, 0u);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}

TEST_F(SceneSetupTest, MissingFontAndShaderAreReportedInOrder) {
    fs::remove("textures/font.tga");
    fs::remove("kelvorin.frag");
    initScene();
    const auto& reports = recordedReports();
    ASSERT_GE(reports.size(), 3u);
    EXPECT_EQ(reports[0].text, "Could not open texture file");
    EXPECT_EQ(reports[0].caption, "ERROR");
    EXPECT_EQ(reports[1].text, "Cannot open shader file!");
    EXPECT_EQ(reports[2].caption, "Linking Error");
    EXPECT_TRUE(glIsTexture(snowTexture.textureId));
}

}  // namespace
