// The shader program against the real GL (Mesa): the demo's own shaders, compile and
// link failures, unreadable sources, uniforms, and what the shaders draw.
#define GL_GLEXT_PROTOTYPES
#include "render/shader_program.h"

#include <GL/glu.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "render/shader_source.h"
#include "tests/support/gl_state.h"
#include "tests/support/report_recorder.h"
#include "tests/support/temp_dir.h"

// A source too large for any allocation must be refused with a report, not abort the
// sanitizer build.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1";
}

namespace {

const std::string kVertexPath = std::string(SNOW_RUN_DIR) + "/kelvorin.vert";
const std::string kFragmentPath = std::string(SNOW_RUN_DIR) + "/kelvorin.frag";

constexpr unsigned kWarning = 0x30;

const GLfloat kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

GLint objectParameter(GLuint object, GLenum name) {
    GLint value = -1;
    if (glIsShader(object)) {
        glGetShaderiv(object, name, &value);
    } else {
        glGetProgramiv(object, name, &value);
    }
    return value;
}

// The whole info log, however long.
std::string infoLog(GLuint object) {
    GLint length = objectParameter(object, GL_INFO_LOG_LENGTH);
    std::vector<char> log(static_cast<size_t>(length) + 1, '\0');
    if (glIsShader(object)) {
        glGetShaderInfoLog(object, length + 1, nullptr, log.data());
    } else {
        glGetProgramInfoLog(object, length + 1, nullptr, log.data());
    }
    return log.data();
}

class ShaderProgramTest : public testing::Test {
  protected:
    void SetUp() override {
        while (glGetError() != GL_NO_ERROR) {
        }
    }
    void TearDown() override {
        glUseProgram(0);
        if (!fileOutsideDir.empty()) std::remove(fileOutsideDir.c_str());
    }

    // Writes a source file into the test's directory and returns its path.
    std::string writeSource(const std::string& name, const std::string& content) {
        return temp.write(name, content);
    }

    ReportRecorder recorder;
    ShaderProgram shader{};
    TempDir temp;
    std::string dir = temp.path();
    std::string fileOutsideDir;  // removed after the test
};

const char* const kPlainVertex = "void main() { gl_Position = ftransform(); }\n";
const char* const kBrokenVertex = "void main() { gl_Position = ftransform() * missingScale; }\n";
const char* const kBrokenFragment = "void main() { gl_FragColor = vec4(1.0) + }\n";

TEST_F(ShaderProgramTest, DemoShadersBuildWithBothUniformsAndNoReport) {
    shader.load(kVertexPath.c_str(), kFragmentPath.c_str());
    EXPECT_TRUE(recordedReports().empty());
    ASSERT_NE(shader.program, 0u);
    ASSERT_NE(shader.vertexShader, 0u);
    ASSERT_NE(shader.fragmentShader, 0u);
    EXPECT_EQ(objectParameter(shader.vertexShader, GL_COMPILE_STATUS), 1);
    EXPECT_EQ(objectParameter(shader.fragmentShader, GL_COMPILE_STATUS), 1);
    EXPECT_EQ(objectParameter(shader.program, GL_LINK_STATUS), 1);
    EXPECT_EQ(objectParameter(shader.program, GL_ATTACHED_SHADERS), 2);

    // Both uniforms are active, with the types the frame sets them as.
    GLenum normalmapType = 0;
    GLenum matrixType = 0;
    GLint uniforms = objectParameter(shader.program, GL_ACTIVE_UNIFORMS);
    for (GLint i = 0; i < uniforms; ++i) {
        char name[64] = {};
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(shader.program, i, sizeof name, nullptr, &size, &type, name);
        if (std::strcmp(name, "normalmap") == 0) normalmapType = type;
        if (std::strcmp(name, "light_mvmatrix") == 0) matrixType = type;
    }
    EXPECT_EQ(normalmapType, static_cast<GLenum>(GL_SAMPLER_2D));
    EXPECT_EQ(matrixType, static_cast<GLenum>(GL_FLOAT_MAT4));

    shader.bind();
    EXPECT_EQ(glInteger(GL_CURRENT_PROGRAM), static_cast<GLint>(shader.program));
    EXPECT_TRUE(shader.setUniform1i("normalmap", 0));
    EXPECT_TRUE(shader.setUniformMatrix4("light_mvmatrix", 1, GL_FALSE, kIdentity));
    shader.unbind();
    EXPECT_EQ(glInteger(GL_CURRENT_PROGRAM), 0);
    EXPECT_TRUE(recordedReports().empty());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShaderProgramTest, CompileErrorsAreReportedInOrderAndTheLoadGoesOn) {
    std::string brokenVertex = writeSource("broken.vert", kBrokenVertex);
    std::string brokenFragment = writeSource("broken.frag", kBrokenFragment);
    struct Case {
        std::string vertexPath, fragmentPath;
        std::vector<std::string> captions;
    };
    const Case cases[] = {
        {brokenVertex, kFragmentPath, {"Vertex Shader Compile Error", "Linking Error"}},
        {kVertexPath, brokenFragment, {"Fragment Shader Compile Error", "Linking Error"}},
        {brokenVertex,
         brokenFragment,
         {"Vertex Shader Compile Error", "Fragment Shader Compile Error", "Linking Error"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.vertexPath + " + " + c.fragmentPath);
        recordedReports().clear();
        ShaderProgram program{};
        program.load(c.vertexPath.c_str(), c.fragmentPath.c_str());
        ASSERT_NE(program.program, 0u);
        bool vertexBroken = c.vertexPath == brokenVertex;
        bool fragmentBroken = c.fragmentPath == brokenFragment;
        // The other shader is still built, and the program linked (and failed).
        EXPECT_EQ(objectParameter(program.vertexShader, GL_COMPILE_STATUS), vertexBroken ? 0 : 1);
        EXPECT_EQ(objectParameter(program.fragmentShader, GL_COMPILE_STATUS),
                  fragmentBroken ? 0 : 1);
        EXPECT_EQ(objectParameter(program.program, GL_ATTACHED_SHADERS), 2);

        std::vector<RecordedReport> expected;
        if (vertexBroken) {
            expected.push_back({ReportOwner::None, infoLog(program.vertexShader),
                                "Vertex Shader Compile Error", kWarning});
        }
        if (fragmentBroken) {
            expected.push_back({ReportOwner::None, infoLog(program.fragmentShader),
                                "Fragment Shader Compile Error", kWarning});
        }
        expected.push_back(
            {ReportOwner::None, infoLog(program.program), "Linking Error", kWarning});
        EXPECT_EQ(recordedReports(), expected);
        for (const RecordedReport& report : recordedReports()) EXPECT_NE(report.text, "");
        program.release();
    }
}

TEST_F(ShaderProgramTest, MissingSourceIsNeverHandedToTheGlAndTheLinkReports) {
    std::string missing = dir + "/missing.vert";
    struct Case {
        std::string vertexPath, fragmentPath;
        int openFailures;
    };
    const Case cases[] = {
        {missing, kFragmentPath, 1},
        {kVertexPath, missing, 1},
        {missing, missing, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.vertexPath + " + " + c.fragmentPath);
        recordedReports().clear();
        ShaderProgram program{};
        program.load(c.vertexPath.c_str(), c.fragmentPath.c_str());
        // A null source would have raised a GL error.
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        ASSERT_NE(program.vertexShader, 0u);
        ASSERT_NE(program.fragmentShader, 0u);
        ASSERT_NE(program.program, 0u);
        bool vertexMissing = c.vertexPath == missing;
        bool fragmentMissing = c.fragmentPath == missing;
        EXPECT_EQ(objectParameter(program.vertexShader, GL_SHADER_SOURCE_LENGTH) == 0,
                  vertexMissing);
        EXPECT_EQ(objectParameter(program.fragmentShader, GL_SHADER_SOURCE_LENGTH) == 0,
                  fragmentMissing);
        EXPECT_EQ(objectParameter(program.vertexShader, GL_COMPILE_STATUS), vertexMissing ? 0 : 1);
        EXPECT_EQ(objectParameter(program.fragmentShader, GL_COMPILE_STATUS),
                  fragmentMissing ? 0 : 1);

        std::vector<RecordedReport> expected(
            c.openFailures, {ReportOwner::None, "Cannot open shader file!", "ERROR", kWarning});
        expected.push_back(
            {ReportOwner::None, infoLog(program.program), "Linking Error", kWarning});
        EXPECT_EQ(recordedReports(), expected);
        program.release();
    }
}

TEST_F(ShaderProgramTest, EmptySourceIsHandedToTheGlAsAnEmptyString) {
    std::string empty = writeSource("empty.vert", "");
    char* source = readShaderSource(empty.c_str());
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source[0], '\0');
    std::free(source);

    shader.load(empty.c_str(), kFragmentPath.c_str());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // The GL counts the terminator: it holds an empty source.
    EXPECT_EQ(objectParameter(shader.vertexShader, GL_SHADER_SOURCE_LENGTH), 1);
    EXPECT_EQ(objectParameter(shader.program, GL_LINK_STATUS), 0);
    ASSERT_FALSE(recordedReports().empty());
    for (const RecordedReport& report : recordedReports()) EXPECT_NE(report.caption, "ERROR");
    EXPECT_EQ(recordedReports().back(), (RecordedReport{ReportOwner::None, infoLog(shader.program),
                                                        "Linking Error", kWarning}));
}

TEST_F(ShaderProgramTest, SourceIsReadWholeAndExactly) {
    const std::string content = "// line one\r\nvoid main() {}\n\ttrailing without end";
    std::string path = writeSource("exact.vert", content);
    char* source = readShaderSource(path.c_str());
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(std::string(source), content);
    std::free(source);

    // Absent; what else is no regular file is the opener's own test.
    recordedReports().clear();
    EXPECT_EQ(readShaderSource((dir + "/absent.frag").c_str()), nullptr);
    const std::vector<RecordedReport> expected = {
        {ReportOwner::None, "Cannot open shader file!", "ERROR", kWarning}};
    EXPECT_EQ(recordedReports(), expected);
}

TEST_F(ShaderProgramTest, SourceTooLargeForMemoryIsRefusedWithAReport) {
    // A sparse file larger than any address space; tmpfs allows such sizes.
    std::string path = "/dev/shm/shader_program_test_huge.vert";
    FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) GTEST_SKIP() << "no /dev/shm";
    fileOutsideDir = path;
    bool sized = ftruncate(fileno(file), off_t{1} << 50) == 0;
    std::fclose(file);
    if (!sized) GTEST_SKIP() << "the file system refuses a sparse file of 2^50 bytes";

    EXPECT_EQ(readShaderSource(path.c_str()), nullptr);
    const std::vector<RecordedReport> expected = {
        {ReportOwner::None, "Cannot open shader file!", "ERROR", kWarning}};
    EXPECT_EQ(recordedReports(), expected);
}

TEST_F(ShaderProgramTest, InfoLogLongerThan4095CharactersIsCut) {
    // Every line an error that names its own long identifier.
    std::string source = "void main() {\n";
    for (int i = 0; i < 60; ++i) {
        source +=
            "  gl_Position = vec4(undeclared_" + std::to_string(i) + std::string(80, 'x') + ");\n";
    }
    source += "}\n";
    std::string path = writeSource("long_log.vert", source);
    shader.load(path.c_str(), kFragmentPath.c_str());

    std::string fullLog = infoLog(shader.vertexShader);
    ASSERT_GT(fullLog.size(), 4095u);
    ASSERT_EQ(recordedReports().size(), 2u);
    EXPECT_EQ(recordedReports()[0].caption, "Vertex Shader Compile Error");
    EXPECT_EQ(recordedReports()[0].text.size(), 4095u);
    EXPECT_EQ(recordedReports()[0].text, fullLog.substr(0, 4095));
    EXPECT_EQ(recordedReports()[1].caption, "Linking Error");
}

TEST_F(ShaderProgramTest, UniformTheProgramLacksIsReportedOncePerNameAndProgram) {
    // "dropped" is declared but never read, so the GL does not keep it.
    std::string vertex = writeSource("uniforms.vert",
                                     "uniform float dropped;\n"
                                     "void main() { gl_Position = ftransform(); }\n");
    std::string fragment =
        writeSource("uniforms.frag", "void main() { gl_FragColor = vec4(1.0); }\n");
    shader.load(vertex.c_str(), fragment.c_str());
    ASSERT_TRUE(recordedReports().empty());
    shader.bind();
    // Frame after frame: each name is reported the first time, then the setter fails
    // silently, whichever setter asks.
    for (int frame = 0; frame < 3; ++frame) {
        EXPECT_FALSE(shader.setUniform1f("dropped", 1.0f));
        EXPECT_FALSE(shader.setUniform1i("normalmap", 0));
        EXPECT_FALSE(shader.setUniformMatrix4("light_mvmatrix", 1, GL_FALSE, kIdentity));
    }
    EXPECT_FALSE(shader.setUniform1i("dropped", 1));
    const RecordedReport notFound = {ReportOwner::None, "Variable name could not be found!",
                                     "ERROR", kWarning};
    EXPECT_EQ(recordedReports(), std::vector<RecordedReport>(3, notFound));

    // Every uniform of a program that failed to link is missing too, and another program
    // reports its own.
    std::string broken = writeSource("broken.vert", kBrokenVertex);
    ShaderProgram unlinked{};
    unlinked.load(broken.c_str(), kFragmentPath.c_str());
    recordedReports().clear();
    for (int frame = 0; frame < 2; ++frame) {
        EXPECT_FALSE(unlinked.setUniform1i("normalmap", 0));
        EXPECT_FALSE(unlinked.setUniformMatrix4("light_mvmatrix", 1, GL_FALSE, kIdentity));
    }
    EXPECT_EQ(recordedReports(), std::vector<RecordedReport>(2, notFound));
    unlinked.release();
}

TEST_F(ShaderProgramTest, SettersPassTheirArgumentsThrough) {
    std::string vertex = writeSource("pass.vert", kPlainVertex);
    std::string fragment =
        writeSource("pass.frag",
                    "uniform float level;\n"
                    "uniform int pick;\n"
                    "uniform mat4 frames[2];\n"
                    "void main() {\n"
                    "  gl_FragColor = frames[pick] * vec4(level) + frames[1][2];\n"
                    "}\n");
    shader.load(vertex.c_str(), fragment.c_str());
    ASSERT_TRUE(recordedReports().empty());
    shader.bind();
    GLfloat matrices[32];
    for (int i = 0; i < 32; ++i) matrices[i] = static_cast<GLfloat>(i);
    EXPECT_TRUE(shader.setUniform1f("level", 0.25f));
    EXPECT_TRUE(shader.setUniform1i("pick", 7));
    EXPECT_TRUE(shader.setUniformMatrix4("frames", 2, GL_TRUE, matrices));
    EXPECT_TRUE(recordedReports().empty());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    GLfloat level = 0;
    glGetUniformfv(shader.program, glGetUniformLocation(shader.program, "level"), &level);
    EXPECT_EQ(level, 0.25f);
    GLint pick = 0;
    glGetUniformiv(shader.program, glGetUniformLocation(shader.program, "pick"), &pick);
    EXPECT_EQ(pick, 7);
    // Both matrices arrive, each transposed.
    for (int m = 0; m < 2; ++m) {
        std::string name = "frames[" + std::to_string(m) + "]";
        GLfloat stored[16] = {};
        glGetUniformfv(shader.program, glGetUniformLocation(shader.program, name.c_str()), stored);
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 4; ++column) {
                EXPECT_EQ(stored[column * 4 + row], matrices[m * 16 + row * 4 + column])
                    << name << " row " << row << " column " << column;
            }
        }
    }
}

TEST_F(ShaderProgramTest, UnbindReturnsToFixedFunctionWhateverWasCurrent) {
    shader.load(kVertexPath.c_str(), kFragmentPath.c_str());
    ShaderProgram other{};
    other.load(kVertexPath.c_str(), kFragmentPath.c_str());
    ASSERT_TRUE(recordedReports().empty());
    shader.bind();
    other.bind();
    EXPECT_EQ(glInteger(GL_CURRENT_PROGRAM), static_cast<GLint>(other.program));
    shader.unbind();
    EXPECT_EQ(glInteger(GL_CURRENT_PROGRAM), 0);
    other.release();
}

TEST_F(ShaderProgramTest, ReleaseDeletesBothShadersAndTheProgram) {
    shader.load(kVertexPath.c_str(), kFragmentPath.c_str());
    GLhandleARB handles[] = {shader.vertexShader, shader.fragmentShader, shader.program};
    EXPECT_TRUE(glIsShader(handles[0]));
    EXPECT_TRUE(glIsShader(handles[1]));
    EXPECT_TRUE(glIsProgram(handles[2]));
    shader.release();
    EXPECT_FALSE(glIsShader(handles[0]));
    EXPECT_FALSE(glIsShader(handles[1]));
    EXPECT_FALSE(glIsProgram(handles[2]));
    // The handles keep their old values.
    EXPECT_EQ(shader.vertexShader, handles[0]);
    EXPECT_EQ(shader.program, handles[2]);
}

// Draws the demo's shaders on one lit sphere the way the frame draws the snowman,
// and reads pixels back.
class ShaderLightingTest : public ShaderProgramTest {
  protected:
    static constexpr int kSize = 200;

    void SetUp() override {
        ShaderProgramTest::SetUp();
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        shader.load(kVertexPath.c_str(), kFragmentPath.c_str());
        ASSERT_TRUE(recordedReports().empty());
        quadric = gluNewQuadric();
        gluQuadricNormals(quadric, GLU_SMOOTH);
        gluQuadricTexture(quadric, GL_TRUE);
        glGenTextures(1, &texture);
    }
    void TearDown() override {
        glDeleteTextures(1, &texture);
        gluDeleteQuadric(quadric);
        shader.release();
        glPopAttrib();
        ShaderProgramTest::TearDown();
    }

    // The relief as one colour: (128, 128, 255) is the flat surface.
    void setNormalMap(GLubyte r, GLubyte g, GLubyte b) {
        GLubyte texels[4 * 4 * 3];
        for (int i = 0; i < 16; ++i) {
            texels[i * 3] = r;
            texels[i * 3 + 1] = g;
            texels[i * 3 + 2] = b;
        }
        glBindTexture(GL_TEXTURE_2D, texture);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 4, 4, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    }

    // A unit sphere 4 units in front of the eye, lit by a directional light from
    // lightDirection (eye space) with the scene's light and material values.
    void drawSphere(const GLfloat lightDirection[3], const GLfloat* lightViewMatrix) {
        const GLfloat white[] = {1, 1, 1, 1};
        const GLfloat shininess[] = {50};
        const GLfloat ambient[] = {0.5f, 0.5f, 0.5f, 0};
        glViewport(0, 0, kSize, kSize);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, 1.0, 1.0, 20.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glMaterialfv(GL_FRONT, GL_SPECULAR, white);
        glMaterialfv(GL_FRONT, GL_SHININESS, shininess);
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
        glLightfv(GL_LIGHT0, GL_SPECULAR, white);
        const GLfloat position[] = {lightDirection[0], lightDirection[1], lightDirection[2], 0};
        glLightfv(GL_LIGHT0, GL_POSITION, position);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glEnable(GL_DEPTH_TEST);
        glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
        glEnable(GL_COLOR_MATERIAL);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glColor4f(0.8f, 0.8f, 0.8f, 1.0f);
        glDisable(GL_COLOR_MATERIAL);

        shader.bind();
        ASSERT_TRUE(shader.setUniform1i("normalmap", 0));
        ASSERT_TRUE(shader.setUniformMatrix4("light_mvmatrix", 1, GL_FALSE, lightViewMatrix));
        glTranslatef(0, 0, -4);
        gluSphere(quadric, 1.0, 50, 50);
        shader.unbind();
        glFinish();
    }

    // Red channel at a point of the sphere's surface given in sphere coordinates.
    int redAt(double x, double y, double z) {
        GLdouble model[16], projection[16];
        GLint viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        GLdouble wx, wy, wz;
        gluProject(x, y, z, model, projection, viewport, &wx, &wy, &wz);
        GLubyte pixel[4] = {};
        glReadBuffer(GL_BACK);
        glReadPixels(static_cast<GLint>(wx), static_cast<GLint>(wy), 1, 1, GL_RGBA,
                     GL_UNSIGNED_BYTE, pixel);
        return pixel[0];
    }

    GLUquadric* quadric = nullptr;
    GLuint texture = 0;
};

TEST_F(ShaderLightingTest, SideFacingTheLightIsBrighter) {
    setNormalMap(128, 128, 255);
    for (float side : {1.0f, -1.0f}) {
        SCOPED_TRACE(side);
        const GLfloat light[] = {side, 0, 0};
        drawSphere(light, kIdentity);
        int lit = redAt(0.8 * side, 0, 0.6);
        int away = redAt(-0.8 * side, 0, 0.6);
        // Away from the light only the ambient 0.5 x 0.8 remains.
        EXPECT_NEAR(away, 102, 4);
        EXPECT_GT(lit, away + 100);
    }
    EXPECT_TRUE(recordedReports().empty());
}

TEST_F(ShaderLightingTest, ReliefTiltsTheNormalAlongTheWorldHorizontal) {
    // The light comes from the right and somewhat from the eye, so the point facing the
    // eye is lit partly and shows which way its normal leans.
    const GLfloat light[] = {1, 0, 0.5f};
    setNormalMap(128, 128, 255);
    drawSphere(light, kIdentity);
    int flat = redAt(0, 0, 1);
    // A relief leaning along the tangent turns that point towards the light...
    setNormalMap(255, 128, 255);
    drawSphere(light, kIdentity);
    int towards = redAt(0, 0, 1);
    // ...and with the camera rolled upside down the same relief leans away from it.
    const GLfloat upsideDown[16] = {-1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    drawSphere(light, upsideDown);
    int away = redAt(0, 0, 1);
    EXPECT_GT(towards, flat + 40);
    EXPECT_LT(away, flat - 40);
    EXPECT_TRUE(recordedReports().empty());
}

}  // namespace
