// Snowman vertex shader: hands the fragment shader the eye-space position and normal,
// so the lighting is worked out per pixel.
#version 110

varying vec3 eyePosition;
varying vec3 eyeNormal;
varying vec2 reliefCoord;

void main() {
    eyePosition = vec3(gl_ModelViewMatrix * gl_Vertex);
    eyeNormal = gl_NormalMatrix * gl_Normal;
    reliefCoord = gl_MultiTexCoord0.st;
    gl_Position = ftransform();
}
