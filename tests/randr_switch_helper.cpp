// A RandR mode switch with the mode guard before it, as a full-screen switch under a
// window manager makes it: the first lit CRTC to 1024x768, then the screen to that size.
// Prints "switched" and waits to be ended.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <unistd.h>

#include <cstdio>

#include "app/mode_guard.h"

int main() {
    startModeGuard(nullptr, 1024, 768);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return 1;
    Window root = DefaultRootWindow(display);
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    if (resources == nullptr) return 1;
    RRMode mode = None;
    for (int i = 0; i < resources->nmode; ++i) {
        if (resources->modes[i].width == 1024 && resources->modes[i].height == 768) {
            mode = resources->modes[i].id;
        }
    }
    bool switched = false;
    for (int i = 0; i < resources->ncrtc && mode != None && !switched; ++i) {
        XRRCrtcInfo* info = XRRGetCrtcInfo(display, resources, resources->crtcs[i]);
        if (info->mode != None) {
            switched = XRRSetCrtcConfig(display, resources, resources->crtcs[i], CurrentTime, 0, 0,
                                        mode, info->rotation, info->outputs,
                                        info->noutput) == RRSetConfigSuccess;
        }
        XRRFreeCrtcInfo(info);
    }
    if (!switched) return 1;
    int screen = DefaultScreen(display);
    XRRSetScreenSize(display, root, 1024, 768, DisplayWidthMM(display, screen),
                     DisplayHeightMM(display, screen));
    XSync(display, False);
    std::puts("switched");
    std::fflush(stdout);
    for (;;) pause();
}
