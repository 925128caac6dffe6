// Keyboard and window callbacks.
#include "app/window_input.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <cstdlib>

#include "app/scene_state.h"

namespace {

constexpr unsigned char kEscape = 27;

// The held-key flag of a special key, or null for a key the demo does not use.
bool* heldFlag(int key) {
    HeldKeys& keys = scene.keys;
    switch (key) {
        case GLUT_KEY_LEFT:
            return &keys.leftHeld;
        case GLUT_KEY_UP:
            return &keys.upHeld;
        case GLUT_KEY_RIGHT:
            return &keys.rightHeld;
        case GLUT_KEY_DOWN:
            return &keys.downHeld;
        case GLUT_KEY_PAGE_UP:
            return &keys.pageUpHeld;
        case GLUT_KEY_PAGE_DOWN:
            return &keys.pageDownHeld;
        default:
            return nullptr;
    }
}

}  // namespace

void onKeyboard(unsigned char key, int, int) {
    // Nothing is released first: the process exit frees everything.
    if (key == kEscape) std::exit(0);
}

void onSpecialDown(int key, int, int) {
    if (bool* flag = heldFlag(key)) *flag = true;
}

void onSpecialUp(int key, int, int) {
    if (bool* flag = heldFlag(key)) *flag = false;
}

void onReshape(int width, int height) {
    if (height == 0) height = 1;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(width) / static_cast<double>(height), 1.0, 1000.0);
    glViewport(0, 0, width, height);
}
