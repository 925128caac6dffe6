// Entry point: --help and --version, a refusal of unknown arguments, or the full-screen
// window, callbacks, scene set-up, then GLUT's loop for good.
#include <GL/freeglut.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "app/animation.h"
#include "app/desktop_window.h"
#include "app/frame_drawing.h"
#include "app/report_dialog.h"
#include "app/scene_setup.h"
#include "app/scene_state.h"
#include "app/signal_exit.h"
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
        "Usage: snowdemo [-h | --help | --version] [GLUT options such as -display DISPLAY]\n"
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
        "GLUT's options are -display, -geometry, -sync, -direct, -indirect, -iconic and\n"
        "-gldebug; any other argument is refused with status 2.\n"
        "More in snowdemo(6).\n",
        workingDirectory);
}

// Answers the first --help or --version on standard output; true when it did, and the
// program then ends before GLUT or the scene start.
bool answerInformationOption(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
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

void printUnknownOption(const char* argument) {
    std::fprintf(stderr, "snowdemo: unknown option '%s'\nTry 'snowdemo --help'.\n", argument);
}

// GLUT's options all start with a single dash, so a double-dash one is refused before
// glutInit, which would first end the program where no display can be opened.
bool refuseDoubleDashArgument(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--", 2) == 0) {
            printUnknownOption(argv[i]);
            return true;
        }
    }
    return false;
}

// GLUT has taken its own options out of argv by now. Anything left is a mistake, most
// often a mistyped option, and must not switch the screen mode and start the music.
bool refuseLeftOverArgument(int argc, char** argv) {
    if (argc < 2) return false;
    printUnknownOption(argv[1]);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (answerInformationOption(argc, argv)) return std::fflush(stdout) == 0 ? 0 : 1;
    if (refuseDoubleDashArgument(argc, argv)) return 2;
    // First, so that every exit handler registered later (the mode restores among them)
    // runs before the signal is raised again.
    catchEndSignals();
    reportBackend = showDialogReport;
    const char* display = initGlutOnDesktop(&argc, argv);
    if (refuseLeftOverArgument(argc, argv)) return 2;
    glutInitWindowSize(scene.windowWidth, scene.windowHeight);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    openDesktopWindow(display);
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
