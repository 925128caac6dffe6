// A GLUT window with a current GL context for tests that need a real GL (Mesa under Xvfb).
#pragma once

// The GLUT window the test binary made before its tests run.
int glTestWindow();
