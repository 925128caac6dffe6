// The GL state the tests check, read in one call each.
#pragma once

#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <cstddef>

inline void glGetValues(GLenum name, GLint* values) {
    glGetIntegerv(name, values);
}
inline void glGetValues(GLenum name, GLfloat* values) {
    glGetFloatv(name, values);
}

// The first `N` values of a glGet query, as GLint or GLfloat.
template <typename T, size_t N>
std::array<T, N> glValues(GLenum name) {
    // Room for the longest answer (a matrix), whatever part of it the test looks at.
    T values[16] = {};
    glGetValues(name, values);
    std::array<T, N> first{};
    std::copy(values, values + N, first.begin());
    return first;
}

template <size_t N>
std::array<GLint, N> glIntegers(GLenum name) {
    return glValues<GLint, N>(name);
}
template <size_t N>
std::array<GLfloat, N> glFloats(GLenum name) {
    return glValues<GLfloat, N>(name);
}
inline GLint glInteger(GLenum name) {
    return glIntegers<1>(name)[0];
}

// A parameter of the texture bound to GL_TEXTURE_2D.
inline GLint textureParameter(GLenum name) {
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

inline GLint textureEnvironmentMode() {
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    return mode;
}
