// One-time scene set-up.
#include "app/scene_setup.h"

#include <GL/gl.h>

void initScene() {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0.3f, 0.3f, 0.8f, 0.0f);
}
