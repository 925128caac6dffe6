// The GLSL program behind the snowman, through the ARB shader-object entry points.
// Every failure is reported and the load goes on as far as it can.
#include "render/shader_program.h"

#include <GL/freeglut.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>

#include "base/error_report.h"
#include "render/shader_source.h"

namespace {

PFNGLCREATEPROGRAMOBJECTARBPROC glCreateProgramObjectARB = nullptr;
PFNGLDELETEOBJECTARBPROC glDeleteObjectARB = nullptr;
PFNGLUSEPROGRAMOBJECTARBPROC glUseProgramObjectARB = nullptr;
PFNGLCREATESHADEROBJECTARBPROC glCreateShaderObjectARB = nullptr;
PFNGLSHADERSOURCEARBPROC glShaderSourceARB = nullptr;
PFNGLCOMPILESHADERARBPROC glCompileShaderARB = nullptr;
PFNGLGETOBJECTPARAMETERIVARBPROC glGetObjectParameterivARB = nullptr;
PFNGLATTACHOBJECTARBPROC glAttachObjectARB = nullptr;
PFNGLGETINFOLOGARBPROC glGetInfoLogARB = nullptr;
PFNGLLINKPROGRAMARBPROC glLinkProgramARB = nullptr;
PFNGLGETUNIFORMLOCATIONARBPROC glGetUniformLocationARB = nullptr;
PFNGLUNIFORM1FARBPROC glUniform1fARB = nullptr;
PFNGLUNIFORM1IARBPROC glUniform1iARB = nullptr;
PFNGLUNIFORMMATRIX4FVARBPROC glUniformMatrix4fvARB = nullptr;

// False until a load has resolved all fourteen entry points; after a load that stopped
// earlier every other operation is a no-op, so the scene falls back to fixed function.
bool entryPointsReady = false;

constexpr GLsizei kInfoLogSize = 4096;

template <typename Proc>
void resolve(Proc& proc, const char* name) {
    proc = reinterpret_cast<Proc>(glutGetProcAddress(name));
}

bool resolveEntryPoints() {
    resolve(glCreateProgramObjectARB, "glCreateProgramObjectARB");
    resolve(glDeleteObjectARB, "glDeleteObjectARB");
    resolve(glUseProgramObjectARB, "glUseProgramObjectARB");
    resolve(glCreateShaderObjectARB, "glCreateShaderObjectARB");
    resolve(glShaderSourceARB, "glShaderSourceARB");
    resolve(glCompileShaderARB, "glCompileShaderARB");
    resolve(glGetObjectParameterivARB, "glGetObjectParameterivARB");
    resolve(glAttachObjectARB, "glAttachObjectARB");
    resolve(glGetInfoLogARB, "glGetInfoLogARB");
    resolve(glLinkProgramARB, "glLinkProgramARB");
    resolve(glGetUniformLocationARB, "glGetUniformLocationARB");
    resolve(glUniform1fARB, "glUniform1fARB");
    resolve(glUniform1iARB, "glUniform1iARB");
    resolve(glUniformMatrix4fvARB, "glUniformMatrix4fvARB");
    return glCreateProgramObjectARB && glDeleteObjectARB && glUseProgramObjectARB &&
           glCreateShaderObjectARB && glShaderSourceARB && glCompileShaderARB &&
           glGetObjectParameterivARB && glAttachObjectARB && glGetInfoLogARB && glLinkProgramARB &&
           glGetUniformLocationARB && glUniform1fARB && glUniform1iARB && glUniformMatrix4fvARB;
}

void reportWarning(const char* text, const char* caption) {
    reportError(ReportOwner::None, text, caption, kReportWarning);
}

// The uniform names each program has already reported missing. The frame sets its
// uniforms every time: a box per frame would leave the demo neither watchable nor endable.
std::map<GLhandleARB, std::set<std::string>> reportedMissing;

// The location of a uniform of the current program, or -1, reported the first time.
GLint findUniform(GLhandleARB program, const char* name) {
    GLint location = glGetUniformLocationARB(program, name);
    if (location == -1 && reportedMissing[program].insert(name).second) {
        reportWarning("Variable name could not be found!", "ERROR");
    }
    return location;
}

// Creates a shader of `type` and compiles the file's source into it; a compile failure is
// reported with the log under `caption`. A source that cannot be read is never handed to
// the GL: that shader stays empty, without a compile log of its own, and the link reports
// it.
GLhandleARB buildShader(GLenum type, const char* path, const char* caption,
                        char (&str)[kInfoLogSize]) {
    GLhandleARB shader = glCreateShaderObjectARB(type);
    const GLcharARB* shaderStrings = readShaderSource(path);
    if (shaderStrings == nullptr) return shader;
    glShaderSourceARB(shader, 1, &shaderStrings, nullptr);
    glCompileShaderARB(shader);
    std::free(const_cast<GLcharARB*>(shaderStrings));
    GLint bCompiled = 0;
    glGetObjectParameterivARB(shader, GL_OBJECT_COMPILE_STATUS_ARB, &bCompiled);
    if (bCompiled == 0) {
        glGetInfoLogARB(shader, kInfoLogSize, nullptr, str);
        reportWarning(str, caption);
    }
    return shader;
}

}  // namespace

void ShaderProgram::load(const char* vertexPath, const char* fragmentPath) {
    entryPointsReady = false;
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    // No current context gives no string; that is no extension either.
    if (extensions == nullptr) extensions = "";
    if (std::strstr(extensions, "GL_ARB_shading_language_100") == nullptr) {
        reportWarning("GL_ARB_shading_language_100 extension was not found", "ERROR");
        return;
    }
    if (std::strstr(extensions, "GL_ARB_shader_objects") == nullptr) {
        reportWarning("GL_ARB_shader_objects extension was not found", "ERROR");
        return;
    }
    if (!resolveEntryPoints()) {
        reportWarning("One or more GL_ARB_shader_objects functions were not found", "ERROR");
        return;
    }
    entryPointsReady = true;

    // One log buffer serves both compiles and the link.
    char str[kInfoLogSize] = {};
    vertexShader =
        buildShader(GL_VERTEX_SHADER_ARB, vertexPath, "Vertex Shader Compile Error", str);
    fragmentShader =
        buildShader(GL_FRAGMENT_SHADER_ARB, fragmentPath, "Fragment Shader Compile Error", str);

    program = glCreateProgramObjectARB();
    glAttachObjectARB(program, vertexShader);
    glAttachObjectARB(program, fragmentShader);
    glLinkProgramARB(program);

    GLint bLinked = 0;
    glGetObjectParameterivARB(program, GL_OBJECT_LINK_STATUS_ARB, &bLinked);
    if (bLinked == 0) {
        glGetInfoLogARB(program, kInfoLogSize, nullptr, str);
        reportWarning(str, "Linking Error");
    }
}

void ShaderProgram::bind() {
    if (!entryPointsReady) return;
    glUseProgramObjectARB(program);
}

void ShaderProgram::unbind() {
    if (!entryPointsReady) return;
    glUseProgramObjectARB(0);
}

bool ShaderProgram::setUniform1f(const char* name, GLfloat value) {
    if (!entryPointsReady) return false;
    GLint location = findUniform(program, name);
    if (location == -1) return false;
    glUniform1fARB(location, value);
    return true;
}

bool ShaderProgram::setUniform1i(const char* name, GLint value) {
    if (!entryPointsReady) return false;
    GLint location = findUniform(program, name);
    if (location == -1) return false;
    glUniform1iARB(location, value);
    return true;
}

bool ShaderProgram::setUniformMatrix4(const char* name, GLint count, GLboolean transpose,
                                      const GLfloat* values) {
    if (!entryPointsReady) return false;
    GLint location = findUniform(program, name);
    if (location == -1) return false;
    glUniformMatrix4fvARB(location, count, transpose, values);
    return true;
}

void ShaderProgram::release() {
    if (!entryPointsReady) return;
    glDeleteObjectARB(vertexShader);
    glDeleteObjectARB(fragmentShader);
    glDeleteObjectARB(program);
}
