// The report dialog. SDL's simple message box is a real modal dialog on X11 and Wayland;
// it needs no SDL_Init.
#include "app/report_dialog.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <SDL2/SDL.h>
#include <X11/Xlib.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>

namespace {

// The process that shows a box, while SDL shows it; 0 otherwise.
pid_t boxOwner = 0;

// SDL shows an X11 box from a child process. The child holds a copy of the demo's X
// connection, so while it lives the demo's full-screen window stays on the screen: it
// must die with the demo, also when the demo is killed.
void onForkInChild() {
    if (boxOwner == 0) return;
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    // The demo may have ended before the child asked to follow it.
    if (getppid() != boxOwner) _exit(1);
}

void handleForksOnce() {
    static const bool registered = pthread_atfork(nullptr, nullptr, onForkInChild) == 0;
    static_cast<void>(registered);
}

// In game mode freeglut holds the keyboard and pointer grabs for its window, so neither
// a key nor a click could reach a box. The X connection and window are GLUT's, reached
// through the current GL context.
struct GameModeGrabs {
    Display* display;
    Window window;
    Window focus;
    int focusRevert;
};

// Hands the grabs back while a box is up; false (and nothing done) outside game mode.
bool releaseGameModeGrabs(GameModeGrabs& grabs) {
    // Programs that never set GLUT up (the asset tool, tests) have no game mode.
    if (!glutGet(GLUT_INIT_STATE) || !glutGameModeGet(GLUT_GAME_MODE_ACTIVE)) return false;
    grabs = {glXGetCurrentDisplay(), glXGetCurrentDrawable(), None, RevertToNone};
    if (grabs.display == nullptr || grabs.window == None) return false;
    XGetInputFocus(grabs.display, &grabs.focus, &grabs.focusRevert);
    XUngrabKeyboard(grabs.display, CurrentTime);
    XUngrabPointer(grabs.display, CurrentTime);
    // Nothing gives the box the focus (there is no window manager over game mode). The
    // keyboard follows the pointer instead, and the pointer goes where SDL puts a box
    // without parent: centred across the screen, a third of the way down, which is
    // inside the box whatever its size.
    Window root = DefaultRootWindow(grabs.display);
    XWindowAttributes screen{};
    XGetWindowAttributes(grabs.display, root, &screen);
    XSetInputFocus(grabs.display, PointerRoot, RevertToPointerRoot, CurrentTime);
    XWarpPointer(grabs.display, None, root, 0, 0, 0, 0, screen.width / 2, screen.height / 3);
    XFlush(grabs.display);
    return true;
}

// Takes the grabs again as freeglut takes them on entering game mode, so that the keys
// reach the demo again.
void retakeGameModeGrabs(const GameModeGrabs& grabs) {
    XGrabPointer(grabs.display, grabs.window, True,
                 ButtonPressMask | ButtonReleaseMask | ButtonMotionMask | PointerMotionMask,
                 GrabModeAsync, GrabModeAsync, grabs.window, None, CurrentTime);
    XGrabKeyboard(grabs.display, grabs.window, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    XSetInputFocus(grabs.display, grabs.focus, grabs.focusRevert, CurrentTime);
    XFlush(grabs.display);
}

}  // namespace

void showDialogReport(ReportOwner owner, const char* text, const char* caption, unsigned style) {
    handleForksOnce();
    GameModeGrabs grabs{};
    bool released = releaseGameModeGrabs(grabs);
    // The demo's window belongs to GLUT, not SDL, so there is no SDL parent to give.
    Uint32 flags =
        (style & kReportWarning) == kReportWarning ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_ERROR;
    boxOwner = getpid();
    int shown = SDL_ShowSimpleMessageBox(flags, caption, text, nullptr);
    boxOwner = 0;
    if (released) retakeGameModeGrabs(grabs);
    if (shown != 0) printReport(owner, text, caption, style);
}
