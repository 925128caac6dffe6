// main for GL test binaries: one GLUT window, made before the tests, holds the context.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/gl_test_context.h"

namespace {
int window = 0;
}

int glTestWindow() {
    return window;
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Listing the tests (as CTest does at build time) needs no display.
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    if (std::getenv("DISPLAY") == nullptr) {
        std::fprintf(stderr, "GL tests need an X display (DISPLAY); ./test.sh starts one\n");
        return 1;
    }
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(800, 600);
    window = glutCreateWindow("snowdemo tests");
    return RUN_ALL_TESTS();
}
