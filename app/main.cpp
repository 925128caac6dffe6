// Entry point: --help and --version, or the full-screen window, callbacks, scene set-up,
// then GLUT's loop for good.
#include <GL/freeglut.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "app/animation.h"
#include "app/frame_drawing.h"
#include "app/report_dialog.h"
#include "app/scene_setup.h"
#include "app/scene_state.h"
#include "app/window_input.h"
#include "base/run_files.h"

namespace {

void printUsage() {
    // Installed, the demo runs in its data directory; saying where helps whoever
    // wants to change a texture.
    char directory[4096];
    const char* workingDirectory =
        getcwd(directory, sizeof directory) != nullptr ? directory : "(unknown)";
    std::printf(
        "Usage: snowdemo [--help | --version] [GLUT options such as -display DISPLAY]\n"
        "A real-time OpenGL winter scene: a snowman hops on the snow among four pyramids\n"
        "under a rising and sinking sun, full screen at 1024x768, with music.\n"
        "\n"
        "Keys:\n"
        "  Left, Right          turn the camera around the snowman\n"
        "  Up, Down             move the camera nearer, farther\n"
        "  Page Up, Page Down   raise, lower the eye\n"
        "  Escape               end the demo\n"
        "\n"
        "Files, read from the working directory:\n");
    for (const RunFile* file : kRunFiles) std::printf("  %-28s %s\n", file->path, file->role);
    std::printf(
        "The working directory is now\n"
        "  %s\n"
        "Installed, the snowdemo command starts the demo in PREFIX/share/snowdemo.\n"
        "More in snowdemo(6).\n",
        workingDirectory);
}

// Answers the first --help or --version on standard output; true when it did, and the
// program then ends before GLUT or the scene start.
bool answerInformationOption(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            printUsage();
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("snowdemo %s\n", SNOW_VERSION);
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (answerInformationOption(argc, argv)) return std::fflush(stdout) == 0 ? 0 : 1;
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
