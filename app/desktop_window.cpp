// Which window the demo takes. Game mode's window is override-redirect and grabs the
// keyboard and pointer: sound on a bare X server, where nothing else stacks or focuses
// windows, but under a window manager dialogs are stacked below it, and under Xwayland
// the compositor never treats it as a normal window (keys lost, the picture in a corner,
// weston aborts). There the demo takes an ordinary window that the window manager makes
// full screen (_NET_WM_STATE_FULLSCREEN), as full-screen programs do.
#include "app/desktop_window.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <unistd.h>

#include <cstring>

#include "app/screen_mode.h"
#include "app/window_property.h"

namespace {

constexpr char kGameMode[] = "1024x768:32@60";
// WM_CLASS: the instance and the class (the menu entry's StartupWMClass).
char className[] = "snowdemo";
char classFamily[] = "Snowdemo";

bool xErrorSeen = false;
int noteXError(Display*, XErrorEvent*) {
    xErrorSeen = true;
    return 0;
}

// The window a _NET_SUPPORTING_WM_CHECK property names, or None.
Window supportingWindow(Display* display, Window window) {
    return static_cast<Window>(
        windowPropertyItem(display, window, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, None));
}

// A running EWMH window manager: the root names a window that names itself. A window
// manager that died leaves the root's property naming a window that is gone.
bool windowManagerRuns(Display* display) {
    Window named = supportingWindow(display, DefaultRootWindow(display));
    if (named == None) return false;
    XSync(display, False);
    xErrorSeen = false;
    XErrorHandler previous = XSetErrorHandler(noteXError);
    Window self = supportingWindow(display, named);
    XSync(display, False);
    XSetErrorHandler(previous);
    return !xErrorSeen && self == named;
}

// GLUT reads the window the root's _NET_SUPPORTING_WM_CHECK names and ends the program
// when it is gone, as it is after a window manager died. Such a property is stale: the
// next window manager sets its own.
void forgetDeadWindowManager(const char* displayName) {
    Display* display = XOpenDisplay(displayName);
    if (display == nullptr) return;
    Window root = DefaultRootWindow(display);
    if (supportingWindow(display, root) != None && !windowManagerRuns(display))
        XDeleteProperty(display, root, XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False));
    XCloseDisplay(display);
}

// Xwayland: newer versions announce themselves with an extension, all of them name
// their RandR outputs XWAYLAND<n>.
bool isXwayland(Display* display) {
    int opcode = 0, event = 0, error = 0;
    if (XQueryExtension(display, "XWAYLAND", &opcode, &event, &error)) return true;
    int randrEvent = 0, randrError = 0;
    if (!XRRQueryExtension(display, &randrEvent, &randrError)) return false;
    XRRScreenResources* resources =
        XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
    if (resources == nullptr) return false;
    bool named = false;
    for (int i = 0; i < resources->noutput && !named; ++i) {
        XRROutputInfo* output = XRRGetOutputInfo(display, resources, resources->outputs[i]);
        if (output == nullptr) continue;
        named = std::strncmp(output->name, "XWAYLAND", 8) == 0;
        XRRFreeOutputInfo(output);
    }
    XRRFreeScreenResources(resources);
    return named;
}

// Docks and taskbars match the window to the menu entry (StartupWMClass) by WM_CLASS,
// and to the process by _NET_WM_PID. GLUT sets neither; its window is the current
// drawable.
void nameWindow() {
    Display* display = glXGetCurrentDisplay();
    Window window = glXGetCurrentDrawable();
    if (display == nullptr || window == None) return;
    XClassHint hint{className, classFamily};
    XSetClassHint(display, window, &hint);
    unsigned long pid = static_cast<unsigned long>(getpid());
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&pid), 1);
    XFlush(display);
}

// What openDesktopWindow needs to know of the desktop, after any mode switch.
struct Desktop {
    bool windowManager;
    bool gameMode;
    int width;
    int height;
};

// Looks at the server, and switches its mode unless it is Xwayland, which scales a
// full-screen window itself (its mode switch is only emulated). Game mode switches too,
// through VidMode, but that leaves the root window at the larger size and RandR clients
// undo it; switched through RandR first, the screen is the mode's size for everyone.
Desktop prepareScreen(const char* displayName) {
    Desktop desktop{false, false, 0, 0};
    Display* display = XOpenDisplay(displayName);
    if (display == nullptr) return desktop;
    bool xwayland = isXwayland(display);
    desktop.windowManager = windowManagerRuns(display);
    // Asked before entering, so that where the mode cannot be had GLUT does not try
    // (and complain on standard error that it failed).
    desktop.gameMode =
        !xwayland && !desktop.windowManager && glutGameModeGet(GLUT_GAME_MODE_POSSIBLE) != 0;
    if (!xwayland)
        switchScreenMode(display, glutGameModeGet(GLUT_GAME_MODE_WIDTH),
                         glutGameModeGet(GLUT_GAME_MODE_HEIGHT),
                         glutGameModeGet(GLUT_GAME_MODE_REFRESH_RATE));
    Window root = None;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    if (XGetGeometry(display, DefaultRootWindow(display), &root, &x, &y, &width, &height, &border,
                     &depth)) {
        desktop.width = static_cast<int>(width);
        desktop.height = static_cast<int>(height);
    }
    XCloseDisplay(display);
    return desktop;
}

}  // namespace

const char* initGlutOnDesktop(int* argc, char** argv) {
    // GLUT takes its options out of argv: the display it opens is read first.
    const char* displayName = nullptr;
    for (int i = 1; i + 1 < *argc; ++i)
        if (std::strcmp(argv[i], "-display") == 0) displayName = argv[i + 1];
    forgetDeadWindowManager(displayName);
    glutInit(argc, argv);
    return displayName;
}

void openDesktopWindow(const char* displayName) {
    glutGameModeString(kGameMode);
    Desktop desktop = prepareScreen(displayName);
    if (desktop.gameMode && glutEnterGameMode() != 0) {
        // GLUT then stretches its game-mode window to the screen size it read at glutInit,
        // before any switch, which crops the picture: the window is the mode's size.
        glutReshapeWindow(glutGameModeGet(GLUT_GAME_MODE_WIDTH),
                          glutGameModeGet(GLUT_GAME_MODE_HEIGHT));
    } else {
        glutInitWindowPosition(0, 0);
        glutCreateWindow("snowdemo");
        // Without a window manager nobody answers the full-screen request, and GLUT's own
        // stand-in uses the size from before the switch: the window takes the screen.
        if (desktop.windowManager || desktop.width <= 0)
            glutFullScreen();
        else
            glutReshapeWindow(desktop.width, desktop.height);
    }
    nameWindow();
}
