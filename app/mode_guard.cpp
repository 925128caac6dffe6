// The mode guard. The X server keeps a mode that VidMode or RandR set after the client
// that set it is gone, so a process that outlives the demo by a moment puts the old mode
// back. It waits on a pipe whose write end only the demo holds; when that closes and the
// screen still shows the demo's mode, the mode from before the switch returns. A mode the
// user chose meanwhile is left alone.
#include "app/mode_guard.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <X11/extensions/xf86vmode.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <vector>

namespace {

// The guard's end of the pipe, moved to the first descriptor after standard error.
constexpr int kDemoEnd = 3;

// What one lit CRTC showed before the switch.
struct CrtcSetting {
    RRCrtc crtc;
    RRMode mode;
    int x;
    int y;
    Rotation rotation;
    std::vector<RROutput> outputs;
};

// The screen before the switch, as VidMode and RandR report it; only what the switch
// would change is kept.
struct ScreenModes {
    bool hasVidMode;
    int dotClock;
    XF86VidModeModeLine vidMode;
    int viewportX;
    int viewportY;
    std::vector<CrtcSetting> crtcs;
    int rootWidth;
    int rootHeight;
    int rootWidthMm;
    int rootHeightMm;
};

bool isSize(const XF86VidModeModeLine& line, int width, int height) {
    return line.hdisplay == width && line.vdisplay == height;
}

bool sameMode(const XF86VidModeModeInfo& mode, int dotClock, const XF86VidModeModeLine& line) {
    return static_cast<int>(mode.dotclock) == dotClock && mode.hdisplay == line.hdisplay &&
           mode.hsyncstart == line.hsyncstart && mode.hsyncend == line.hsyncend &&
           mode.htotal == line.htotal && mode.hskew == line.hskew &&
           mode.vdisplay == line.vdisplay && mode.vsyncstart == line.vsyncstart &&
           mode.vsyncend == line.vsyncend && mode.vtotal == line.vtotal && mode.flags == line.flags;
}

bool vidModeOffers(Display* display, int screen, int width, int height) {
    int count = 0;
    XF86VidModeModeInfo** modes = nullptr;
    if (!XF86VidModeGetAllModeLines(display, screen, &count, &modes)) return false;
    bool offered = false;
    for (int i = 0; i < count; ++i) {
        offered = offered || (modes[i]->hdisplay == width && modes[i]->vdisplay == height);
    }
    XFree(modes);
    return offered;
}

// The current VidMode mode line, without the driver's private data.
bool readModeLine(Display* display, int screen, int& dotClock, XF86VidModeModeLine& line) {
    if (!XF86VidModeGetModeLine(display, screen, &dotClock, &line)) return false;
    if (line.privsize > 0) XFree(line.c_private);
    line.privsize = 0;
    line.c_private = nullptr;
    return true;
}

bool rrModeIs(const XRRScreenResources* resources, RRMode id, int width, int height) {
    for (int i = 0; i < resources->nmode; ++i) {
        const XRRModeInfo& mode = resources->modes[i];
        if (mode.id == id) {
            return static_cast<int>(mode.width) == width && static_cast<int>(mode.height) == height;
        }
    }
    return false;
}

bool rrOffers(const XRRScreenResources* resources, int width, int height) {
    for (int i = 0; i < resources->nmode; ++i) {
        const XRRModeInfo& mode = resources->modes[i];
        if (static_cast<int>(mode.width) == width && static_cast<int>(mode.height) == height) {
            return true;
        }
    }
    return false;
}

void readVidMode(Display* display, int width, int height, ScreenModes& saved) {
    int screen = DefaultScreen(display);
    int eventBase = 0;
    int errorBase = 0;
    if (!XF86VidModeQueryExtension(display, &eventBase, &errorBase)) return;
    if (!readModeLine(display, screen, saved.dotClock, saved.vidMode)) return;
    saved.hasVidMode =
        !isSize(saved.vidMode, width, height) && vidModeOffers(display, screen, width, height);
    XF86VidModeGetViewPort(display, screen, &saved.viewportX, &saved.viewportY);
}

void readCrtcs(Display* display, int width, int height, ScreenModes& saved) {
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase) ||
        !XRRQueryVersion(display, &major, &minor) || (major == 1 && minor < 2)) {
        return;
    }
    Window root = DefaultRootWindow(display);
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    if (resources == nullptr) return;
    bool offered = rrOffers(resources, width, height);
    for (int i = 0; i < resources->ncrtc && offered; ++i) {
        XRRCrtcInfo* info = XRRGetCrtcInfo(display, resources, resources->crtcs[i]);
        if (info == nullptr) continue;
        if (info->mode != None && !rrModeIs(resources, info->mode, width, height)) {
            saved.crtcs.push_back(
                {resources->crtcs[i], info->mode, info->x, info->y, info->rotation,
                 std::vector<RROutput>(info->outputs, info->outputs + info->noutput)});
        }
        XRRFreeCrtcInfo(info);
    }
    XRRFreeScreenResources(resources);
    XWindowAttributes rootAttributes{};
    XGetWindowAttributes(display, root, &rootAttributes);
    saved.rootWidth = rootAttributes.width;
    saved.rootHeight = rootAttributes.height;
    saved.rootWidthMm = DisplayWidthMM(display, DefaultScreen(display));
    saved.rootHeightMm = DisplayHeightMM(display, DefaultScreen(display));
}

// True when a switch to WIDTH x HEIGHT would change a mode that can be put back.
bool readModes(Display* display, int width, int height, ScreenModes& saved) {
    readVidMode(display, width, height, saved);
    readCrtcs(display, width, height, saved);
    return saved.hasVidMode || !saved.crtcs.empty();
}

// True when a watched mode is now neither the one from before nor the demo's: the user
// chose it while the demo ran. The two extensions do not always agree (a RandR switch may
// leave VidMode reporting the demo's mode), so a choice seen by either one stands.
bool userChoseMode(Display* display, const ScreenModes& saved, int width, int height) {
    int dotClock = 0;
    XF86VidModeModeLine now{};
    if (saved.hasVidMode && readModeLine(display, DefaultScreen(display), dotClock, now) &&
        !isSize(now, width, height) &&
        !isSize(now, saved.vidMode.hdisplay, saved.vidMode.vdisplay)) {
        return true;
    }
    if (saved.crtcs.empty()) return false;
    XRRScreenResources* resources =
        XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
    if (resources == nullptr) return false;
    bool chosen = false;
    for (const CrtcSetting& setting : saved.crtcs) {
        XRRCrtcInfo* info = XRRGetCrtcInfo(display, resources, setting.crtc);
        if (info == nullptr) continue;
        chosen = chosen ||
                 (info->mode != setting.mode && !rrModeIs(resources, info->mode, width, height));
        XRRFreeCrtcInfo(info);
    }
    XRRFreeScreenResources(resources);
    return chosen;
}

void restoreVidMode(Display* display, const ScreenModes& saved, int width, int height) {
    int screen = DefaultScreen(display);
    int dotClock = 0;
    XF86VidModeModeLine now{};
    if (!saved.hasVidMode || !readModeLine(display, screen, dotClock, now)) return;
    // Any other mode is the one from before, put back by the demo's own exit.
    if (!isSize(now, width, height)) return;
    int count = 0;
    XF86VidModeModeInfo** modes = nullptr;
    if (!XF86VidModeGetAllModeLines(display, screen, &count, &modes)) return;
    for (int i = 0; i < count; ++i) {
        if (sameMode(*modes[i], saved.dotClock, saved.vidMode)) {
            XF86VidModeSwitchToMode(display, screen, modes[i]);
            XF86VidModeSetViewPort(display, screen, saved.viewportX, saved.viewportY);
            break;
        }
    }
    XFree(modes);
}

void restoreCrtcs(Display* display, const ScreenModes& saved, int width, int height) {
    if (saved.crtcs.empty()) return;
    Window root = DefaultRootWindow(display);
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    if (resources == nullptr) return;
    std::vector<const CrtcSetting*> back;
    for (const CrtcSetting& setting : saved.crtcs) {
        XRRCrtcInfo* info = XRRGetCrtcInfo(display, resources, setting.crtc);
        if (info == nullptr) continue;
        if (info->mode != setting.mode && rrModeIs(resources, info->mode, width, height)) {
            back.push_back(&setting);
        }
        XRRFreeCrtcInfo(info);
    }
    XWindowAttributes now{};
    XGetWindowAttributes(display, root, &now);
    // The screen grows first so that the old modes fit, and takes its old size after.
    int grownWidth = std::max(now.width, saved.rootWidth);
    int grownHeight = std::max(now.height, saved.rootHeight);
    if (!back.empty() && (grownWidth != now.width || grownHeight != now.height)) {
        XRRSetScreenSize(display, root, grownWidth, grownHeight, saved.rootWidthMm,
                         saved.rootHeightMm);
    }
    for (const CrtcSetting* setting : back) {
        std::vector<RROutput> outputs = setting->outputs;
        XRRSetCrtcConfig(display, resources, setting->crtc, CurrentTime, setting->x, setting->y,
                         setting->mode, setting->rotation, outputs.data(),
                         static_cast<int>(outputs.size()));
    }
    if (!back.empty() && (grownWidth != saved.rootWidth || grownHeight != saved.rootHeight)) {
        XRRSetScreenSize(display, root, saved.rootWidth, saved.rootHeight, saved.rootWidthMm,
                         saved.rootHeightMm);
    }
    XRRFreeScreenResources(resources);
}

// Keeps only the pipe (as kDemoEnd) and /dev/null as standard streams: a copy of the
// demo's X connection would keep its window on the screen after the demo died, and a
// copy of its output would keep a reader waiting.
bool keepOnlyPipe(int demoEnd) {
    int end = fcntl(demoEnd, F_DUPFD, kDemoEnd);
    int null = open("/dev/null", O_RDWR);
    if (end < 0 || null < 0) return false;
    for (int stream = 0; stream < kDemoEnd; ++stream) dup2(null, stream);
    if (end != kDemoEnd && dup2(end, kDemoEnd) != kDemoEnd) return false;
    return close_range(kDemoEnd + 1, ~0U, 0) == 0;
}

// The parent's death signal only has to interrupt the wait.
void onDemoGone(int) {}

int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

// Xlib's default would call exit, and with it the demo's exit handlers.
int onServerGone(Display*) {
    _exit(0);
}

// Until the demo has gone: its end of the pipe closed, or it died and the death signal
// came. Events that reach every client (MappingNotify) are read and dropped; a server
// that goes away ends the guard through onServerGone.
void waitForDemo(Display* display, pid_t demo) {
    pollfd watched[] = {{kDemoEnd, POLLIN, 0}, {ConnectionNumber(display), POLLIN, 0}};
    while (getppid() == demo) {
        if (poll(watched, 2, -1) < 0) continue;
        if (watched[0].revents != 0) return;
        XEvent event;
        while (XPending(display) > 0) XNextEvent(display, &event);
    }
}

[[noreturn]] void guard(int demoEnd, pid_t demo, const char* displayName, const ScreenModes& saved,
                        int width, int height) {
    prctl(PR_SET_NAME, "snowdemo-guard");
    // Ctrl+C and a closed terminal reach the whole process group; the guard stays until
    // the demo has gone, whatever ends the demo.
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) std::signal(signal, SIG_IGN);
    struct sigaction wake {};
    wake.sa_handler = onDemoGone;
    sigemptyset(&wake.sa_mask);
    sigaction(SIGUSR1, &wake, nullptr);
    // Also when something the demo forked still holds its end of the pipe.
    prctl(PR_SET_PDEATHSIG, SIGUSR1);
    if (!keepOnlyPipe(demoEnd)) _exit(1);
    Display* display = XOpenDisplay(displayName);
    if (display == nullptr) _exit(1);
    XSetIOErrorHandler(onServerGone);
    XSetErrorHandler(ignoreXError);
    waitForDemo(display, demo);
    if (!userChoseMode(display, saved, width, height)) {
        // VidMode may not follow a RandR switch: it is read again once the CRTCs are back.
        restoreCrtcs(display, saved, width, height);
        restoreVidMode(display, saved, width, height);
    }
    XCloseDisplay(display);
    _exit(0);
}

}  // namespace

void startModeGuard(const char* displayName, int width, int height) {
    Display* display = XOpenDisplay(displayName);
    if (display == nullptr) return;
    ScreenModes saved{};
    bool worthGuarding = readModes(display, width, height, saved);
    XCloseDisplay(display);
    int ends[2];
    if (!worthGuarding || pipe2(ends, O_CLOEXEC) != 0) return;
    pid_t demo = getpid();
    pid_t child = fork();
    if (child == 0) guard(ends[0], demo, displayName, saved, width, height);
    close(ends[0]);
    // The write end stays open as long as the demo lives: its closing is the message.
    if (child < 0) close(ends[1]);
}
