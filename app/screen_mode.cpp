// The RandR mode switch. The whole screen changes size, not only the output's mode, so
// the root window, the window manager's full screen and the mode shown all agree.
#include "app/screen_mode.h"

#include <X11/extensions/Xrandr.h>

#include <cstdlib>
#include <cstring>

#include "app/mode_guard.h"

namespace {

// The mode the screen had before the switch, and where, while it is switched.
struct ScreenMode {
    int width;
    int height;
    short rate;
    Rotation rotation;
};
ScreenMode originalMode{};
bool modeSwitched = false;
// The restore may run after the demo's own connections are gone: it opens its own.
char switchedDisplay[256];

// The index of the RandR screen size width x height, or -1.
int sizeIndex(XRRScreenConfiguration* config, int width, int height) {
    int count = 0;
    XRRScreenSize* sizes = XRRConfigSizes(config, &count);
    for (int i = 0; i < count; ++i)
        if (sizes[i].width == width && sizes[i].height == height) return i;
    return -1;
}

// Sets the screen to width x height, at rate where the size offers it; true when the
// server took the change.
bool setScreenSize(Display* display, XRRScreenConfiguration* config, int width, int height,
                   short rate, Rotation rotation) {
    int size = sizeIndex(config, width, height);
    if (size < 0) return false;
    int rateCount = 0;
    short* rates = XRRConfigRates(config, size, &rateCount);
    bool rateOffered = false;
    for (int i = 0; i < rateCount; ++i) rateOffered = rateOffered || rates[i] == rate;
    Window root = DefaultRootWindow(display);
    Status status =
        rateOffered
            ? XRRSetScreenConfigAndRate(display, config, root, size, rotation, rate, CurrentTime)
            : XRRSetScreenConfig(display, config, root, size, rotation, CurrentTime);
    return status == RRSetConfigSuccess;
}

}  // namespace

void switchScreenMode(Display* display, int width, int height, int rate) {
    int event = 0, error = 0;
    if (!XRRQueryExtension(display, &event, &error)) return;
    XRRScreenConfiguration* config = XRRGetScreenInfo(display, DefaultRootWindow(display));
    if (config == nullptr) return;
    int count = 0;
    XRRScreenSize* sizes = XRRConfigSizes(config, &count);
    Rotation rotation = 0;
    int current = XRRConfigCurrentConfiguration(config, &rotation);
    bool other = current >= 0 && current < count &&
                 !(sizes[current].width == width && sizes[current].height == height);
    const char* name = XDisplayString(display);
    if (other && std::strlen(name) < sizeof switchedDisplay) {
        ScreenMode before{sizes[current].width, sizes[current].height, XRRConfigCurrentRate(config),
                          rotation};
        startModeGuard(name, width, height);
        if (setScreenSize(display, config, width, height, static_cast<short>(rate), rotation)) {
            static const bool registered = std::atexit(restoreScreenMode) == 0;
            static_cast<void>(registered);
            std::strcpy(switchedDisplay, name);
            originalMode = before;
            modeSwitched = true;
        }
    }
    XRRFreeScreenConfigInfo(config);
}

void restoreScreenMode() {
    if (!modeSwitched) return;
    modeSwitched = false;
    Display* display = XOpenDisplay(switchedDisplay);
    if (display == nullptr) return;
    if (XRRScreenConfiguration* config = XRRGetScreenInfo(display, DefaultRootWindow(display))) {
        setScreenSize(display, config, originalMode.width, originalMode.height, originalMode.rate,
                      originalMode.rotation);
        XRRFreeScreenConfigInfo(config);
    }
    XCloseDisplay(display);
}
