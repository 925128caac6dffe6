// The shader program on a GL that lacks one of the extensions or entry points it
// needs. The real GL (Mesa) has them all; the preloaded hide_gl_names library hides
// the names listed in SNOW_HIDDEN_GL_NAMES.
#define GL_GLEXT_PROTOTYPES
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "render/shader_program.h"
#include "tests/support/gl_state.h"
#include "tests/support/report_recorder.h"

// The preloaded library is loaded before the sanitizer runtime.
extern "C" const char* __asan_default_options() {
    return "verify_asan_link_order=0";
}

namespace {

const std::string kVertexPath = std::string(SNOW_RUN_DIR) + "/kelvorin.vert";
const std::string kFragmentPath = std::string(SNOW_RUN_DIR) + "/kelvorin.frag";

const GLfloat kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

bool extensionListed(const char* name) {
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    return extensions != nullptr && std::strstr(extensions, name) != nullptr;
}

// A linked program made through the core interface, to be current while the shader
// program's no-op operations run.
GLuint makeOtherProgram() {
    const char* vertex = "void main() { gl_Position = ftransform(); }";
    const char* fragment = "void main() { gl_FragColor = vec4(1.0); }";
    GLuint program = glCreateProgram();
    for (auto [type, source] :
         {std::pair{GL_VERTEX_SHADER, vertex}, std::pair{GL_FRAGMENT_SHADER, fragment}}) {
        GLuint shader = glCreateShader(type);
        glShaderSource(shader, 1, &source, nullptr);
        glCompileShader(shader);
        glAttachShader(program, shader);
        glDeleteShader(shader);
    }
    glLinkProgram(program);
    return program;
}

class HiddenGlTest : public testing::Test {
  protected:
    void TearDown() override {
        unsetenv("SNOW_HIDDEN_GL_NAMES");
        glUseProgram(0);
    }

    // Loads the demo's shaders with `hidden` out of sight; expects the one report
    // `message`, nothing created, and every later operation a silent no-op.
    void expectLoadStopsQuietly(const char* hidden, const char* message) {
        setenv("SNOW_HIDDEN_GL_NAMES", hidden, 1);
        ReportRecorder recorder;
        ShaderProgram shader{};
        shader.load(kVertexPath.c_str(), kFragmentPath.c_str());
        const std::vector<RecordedReport> expected = {{ReportOwner::None, message, "ERROR", 0x30}};
        EXPECT_EQ(recordedReports(), expected);
        EXPECT_EQ(shader.program, 0u);
        EXPECT_EQ(shader.vertexShader, 0u);
        EXPECT_EQ(shader.fragmentShader, 0u);

        GLuint other = makeOtherProgram();
        glUseProgram(other);
        shader.bind();
        EXPECT_EQ(glInteger(GL_CURRENT_PROGRAM), static_cast<GLint>(other));
        shader.unbind();
        EXPECT_EQ(glInteger(GL_CURRENT_PROGRAM), static_cast<GLint>(other));
        EXPECT_FALSE(shader.setUniform1f("level", 1.0f));
        EXPECT_FALSE(shader.setUniform1i("normalmap", 0));
        EXPECT_FALSE(shader.setUniformMatrix4("light_mvmatrix", 1, GL_FALSE, kIdentity));
        shader.release();
        EXPECT_EQ(recordedReports(), expected);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        glUseProgram(0);
        glDeleteProgram(other);
    }
};

TEST_F(HiddenGlTest, PreloadHidesOnlyTheListedNames) {
    ASSERT_TRUE(extensionListed("GL_ARB_shader_objects"));
    ASSERT_TRUE(extensionListed("GL_ARB_shading_language_100"));
    ASSERT_NE(glutGetProcAddress("glUseProgramObjectARB"), nullptr);
    setenv("SNOW_HIDDEN_GL_NAMES", "GL_ARB_shader_objects glUseProgramObjectARB", 1);
    EXPECT_FALSE(extensionListed("GL_ARB_shader_objects"));
    EXPECT_TRUE(extensionListed("GL_ARB_shading_language_100"));
    EXPECT_EQ(glutGetProcAddress("glUseProgramObjectARB"), nullptr);
    EXPECT_NE(glutGetProcAddress("glLinkProgramARB"), nullptr);
}

TEST_F(HiddenGlTest, MissingShadingLanguageStopsTheLoad) {
    expectLoadStopsQuietly("GL_ARB_shading_language_100",
                           "GL_ARB_shading_language_100 extension was not found");
}

TEST_F(HiddenGlTest, MissingShaderObjectsStopsTheLoad) {
    expectLoadStopsQuietly("GL_ARB_shader_objects",
                           "GL_ARB_shader_objects extension was not found");
}

TEST_F(HiddenGlTest, MissingEntryPointStopsTheLoad) {
    // The first and the last of the fourteen: with the last one hidden, all the others
    // have been resolved and must still not be called.
    for (const char* hidden : {"glCreateProgramObjectARB", "glUniformMatrix4fvARB"}) {
        SCOPED_TRACE(hidden);
        expectLoadStopsQuietly(hidden,
                               "One or more GL_ARB_shader_objects functions were not found");
    }
}

TEST_F(HiddenGlTest, LoadAfterAStoppedOneWorksAgain) {
    expectLoadStopsQuietly("glGetInfoLogARB",
                           "One or more GL_ARB_shader_objects functions were not found");
    unsetenv("SNOW_HIDDEN_GL_NAMES");
    ReportRecorder recorder;
    ShaderProgram shader{};
    shader.load(kVertexPath.c_str(), kFragmentPath.c_str());
    EXPECT_TRUE(recordedReports().empty());
    shader.bind();
    EXPECT_EQ(glInteger(GL_CURRENT_PROGRAM), static_cast<GLint>(shader.program));
    EXPECT_TRUE(shader.setUniform1i("normalmap", 0));
    shader.unbind();
    shader.release();
}

}  // namespace
