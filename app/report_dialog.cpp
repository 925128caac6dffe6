// The report dialog: SDL's X11 message box, transient for the demo's window so that
// window managers stack it above the demo, and standard error where no box can be shown.
#include "app/report_dialog.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <SDL2/SDL.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

#include "app/window_property.h"

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

// The demo's X connection and window, which GLUT made and the current GL context names;
// both null in programs without a GL window (the asset tool, tests).
struct DemoWindow {
    Display* display;
    Window window;
};

DemoWindow currentDemoWindow() {
    Display* display = glXGetCurrentDisplay();
    Window window = glXGetCurrentDrawable();
    if (display == nullptr || window == None) return {nullptr, None};
    return {display, window};
}

// The point where SDL puts the box over its parent: centred across, a third of the way
// down; it lies inside the box whatever the box's size.
void boxCentre(Display* display, Window parent, int& x, int& y) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, parent, &attributes);
    Window child = None;
    XTranslateCoordinates(display, parent, DefaultRootWindow(display), attributes.width / 2,
                          attributes.height / 3, &x, &y, &child);
}

// In game mode freeglut holds the keyboard and pointer grabs for its window, so neither
// a key nor a click could reach a box.
struct GameModeGrabs {
    Window focus;
    int focusRevert;
};

// Hands the grabs back while a box is up; false (and nothing done) outside game mode.
bool releaseGameModeGrabs(const DemoWindow& demo, GameModeGrabs& grabs) {
    // Programs that never set GLUT up (the asset tool, tests) have no game mode.
    if (demo.display == nullptr || !glutGet(GLUT_INIT_STATE) ||
        !glutGameModeGet(GLUT_GAME_MODE_ACTIVE))
        return false;
    XGetInputFocus(demo.display, &grabs.focus, &grabs.focusRevert);
    XUngrabKeyboard(demo.display, CurrentTime);
    XUngrabPointer(demo.display, CurrentTime);
    // Nothing gives the box the focus (there is no window manager over game mode). The
    // keyboard follows the pointer instead, and the pointer goes into the box.
    int x = 0, y = 0;
    boxCentre(demo.display, demo.window, x, y);
    XSetInputFocus(demo.display, PointerRoot, RevertToPointerRoot, CurrentTime);
    XWarpPointer(demo.display, None, DefaultRootWindow(demo.display), 0, 0, 0, 0, x, y);
    XFlush(demo.display);
    return true;
}

// Takes the grabs again as freeglut takes them on entering game mode, so that the keys
// reach the demo again.
void retakeGameModeGrabs(const DemoWindow& demo, const GameModeGrabs& grabs) {
    XGrabPointer(demo.display, demo.window, True,
                 ButtonPressMask | ButtonReleaseMask | ButtonMotionMask | PointerMotionMask,
                 GrabModeAsync, GrabModeAsync, demo.window, None, CurrentTime);
    XGrabKeyboard(demo.display, demo.window, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    XSetInputFocus(demo.display, grabs.focus, grabs.focusRevert, CurrentTime);
    XFlush(demo.display);
}

bool viewable(const DemoWindow& demo) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(demo.display, demo.window, &attributes) &&
           attributes.map_state == IsViewable;
}

// True once the window manager has focused the demo's window (it names the window it
// focused in _NET_ACTIVE_WINDOW), after at most half a second; at once where none does.
bool focusReturns(const DemoWindow& demo) {
    Window root = DefaultRootWindow(demo.display);
    for (int wait = 0; wait < 25; ++wait) {
        auto active = static_cast<Window>(
            windowPropertyItem(demo.display, root, "_NET_ACTIVE_WINDOW", XA_WINDOW, None));
        if (active == None || active == demo.window) return true;
        usleep(20000);
    }
    return false;
}

// Waits, at most half a second, for the window manager to have withdrawn the window
// (ICCCM's WM_STATE).
void waitForWithdrawal(const DemoWindow& demo) {
    Atom wmState = XInternAtom(demo.display, "WM_STATE", False);
    for (int wait = 0; wait < 25 && windowPropertyItem(demo.display, demo.window, "WM_STATE",
                                                       wmState, WithdrawnState) != WithdrawnState;
         ++wait)
        usleep(20000);
}

// Window managers hand the focus to some other window, or to none, once the box is
// gone; the keys must reach the demo again. The request goes to the window manager
// (which may refuse a plain focus change) and to the server (where none runs).
void focusDemoAgain(const DemoWindow& demo) {
    XEvent activate{};
    activate.xclient.type = ClientMessage;
    activate.xclient.window = demo.window;
    activate.xclient.message_type = XInternAtom(demo.display, "_NET_ACTIVE_WINDOW", False);
    activate.xclient.format = 32;
    // Source 2 (a pager): the user asked for it, so focus-stealing prevention lets it be.
    activate.xclient.data.l[0] = 2;
    activate.xclient.data.l[1] = CurrentTime;
    XSendEvent(demo.display, DefaultRootWindow(demo.display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &activate);
    if (viewable(demo)) XSetInputFocus(demo.display, demo.window, RevertToParent, CurrentTime);
    XSync(demo.display, False);
    if (!viewable(demo) || focusReturns(demo)) return;
    // Weston's Xwayland window manager answers neither and resets the server's focus to
    // what the compositor focuses: nothing, until the user clicks. A window being mapped
    // is focused there, so the window is mapped again, once weston has let it go; weston
    // keeps it full screen.
    XUnmapWindow(demo.display, demo.window);
    XSync(demo.display, False);
    waitForWithdrawal(demo);
    XMapRaised(demo.display, demo.window);
    XFlush(demo.display);
}

// The box's parent for SDL: the demo's window, or the root window where there is none.
// False where no X display opens.
bool parentWindow(const DemoWindow& demo, Window& parent) {
    if (demo.display != nullptr) {
        // SDL opens $DISPLAY; the demo's display may have come from -display instead.
        setenv("DISPLAY", DisplayString(demo.display), 1);
        parent = demo.window;
        return true;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return false;
    parent = DefaultRootWindow(display);
    XCloseDisplay(display);
    return true;
}

// Shows one box and waits for its answer; false when none could be shown. Only SDL's X11
// box is used: its other way, through zenity, reports success even where zenity could
// not open a display, and a box without an X parent cannot be stacked over the demo.
bool showBox(Window parent, const char* text, const char* caption, Uint32 flags) {
    // The box must not take SIGINT and SIGTERM from the demo, nor inhibit the screen saver.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    if (SDL_VideoInit("x11") != 0) return false;
    SDL_Window* owner = SDL_CreateWindowFrom(reinterpret_cast<void*>(parent));
    bool shown = owner != nullptr && SDL_ShowSimpleMessageBox(flags, caption, text, owner) == 0;
    if (owner != nullptr) SDL_DestroyWindow(owner);
    SDL_VideoQuit();
    return shown;
}

}  // namespace

void showDialogReport(ReportOwner owner, const char* text, const char* caption, unsigned style) {
    handleForksOnce();
    DemoWindow demo = currentDemoWindow();
    Window parent = None;
    bool shown = false;
    if (parentWindow(demo, parent)) {
        GameModeGrabs grabs{};
        bool released = releaseGameModeGrabs(demo, grabs);
        Uint32 flags = (style & kReportWarning) == kReportWarning ? SDL_MESSAGEBOX_WARNING
                                                                  : SDL_MESSAGEBOX_ERROR;
        boxOwner = getpid();
        shown = showBox(parent, text, caption, flags);
        boxOwner = 0;
        if (released)
            retakeGameModeGrabs(demo, grabs);
        else if (demo.display != nullptr)
            focusDemoAgain(demo);
    }
    if (!shown) printReport(owner, text, caption, style);
}
