// Entry point: full-screen window, callbacks, scene set-up, then GLUT's loop for good.
#include <GL/freeglut.h>

#include "app/animation.h"
#include "app/frame_drawing.h"
#include "app/report_dialog.h"
#include "app/scene_setup.h"
#include "app/scene_state.h"
#include "app/window_input.h"

int main(int argc, char** argv) {
    reportBackend = showDialogReport;
    glutInit(&argc, argv);
    glutInitWindowSize(scene.windowWidth, scene.windowHeight);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutGameModeString("1024x768:32@60");
    // Servers that cannot switch modes (Xvfb, most Wayland sessions, many laptops) give
    // no game-mode window; a full-screen ordinary window takes its place there.
    if (glutEnterGameMode() == 0) {
        glutCreateWindow("snowdemo");
        glutFullScreen();
    }
    glutKeyboardFunc(onKeyboard);
    glutSpecialFunc(onSpecialDown);
    glutSpecialUpFunc(onSpecialUp);
    glutDisplayFunc(onDisplay);
    glutIdleFunc(onIdle);
    glutReshapeFunc(onReshape);
    initScene();
    glutMainLoop();
    return 0;
}
