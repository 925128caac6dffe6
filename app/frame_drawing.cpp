// Drawing one frame.
#include "app/frame_drawing.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

void onDisplay() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glFlush();
    glutSwapBuffers();
}
