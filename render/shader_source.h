// A shader's source file read whole, apart from the GL: the asset tool's check reads the
// sources as the demo does without linking the GL.
#pragma once

// Reads a whole source file in text mode into a zero-terminated buffer the caller frees
// (with free); null after a reported failure.
char* readShaderSource(const char* path);
