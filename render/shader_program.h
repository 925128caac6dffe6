// One GLSL program built from a vertex and a fragment shader source file through
// the ARB shader-object interface, bound around the snowman and fed uniforms by name.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

struct ShaderProgram {
    GLhandleARB program;
    GLhandleARB vertexShader;
    GLhandleARB fragmentShader;

    void load(const char* vertexPath, const char* fragmentPath);
    void bind();
    void unbind();
    bool setUniform1f(const char* name, GLfloat value);
    bool setUniform1i(const char* name, GLint value);
    bool setUniformMatrix4(const char* name, GLint count, GLboolean transpose,
                           const GLfloat* values);
    void release();
};
