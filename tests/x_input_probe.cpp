// Prints where the X server sends the keyboard: "keyboard grabbed|free pointer
// grabbed|free keys 0xID". A grab is found by trying to take it for a moment; the keys
// go to the focus window, or with the focus following the pointer to the top-level
// window under it. Driven by the end-to-end tests.
#include <X11/Xlib.h>

#include <cstdio>

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return 2;
    Window root = DefaultRootWindow(display);
    int keyboard = XGrabKeyboard(display, root, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    if (keyboard == GrabSuccess) XUngrabKeyboard(display, CurrentTime);
    int pointer = XGrabPointer(display, root, False, 0, GrabModeAsync, GrabModeAsync, None, None,
                               CurrentTime);
    if (pointer == GrabSuccess) XUngrabPointer(display, CurrentTime);

    Window focus = None;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    if (focus == PointerRoot) {
        Window rootUnder = None;
        int rootX = 0, rootY = 0, x = 0, y = 0;
        unsigned mask = 0;
        XQueryPointer(display, root, &rootUnder, &focus, &rootX, &rootY, &x, &y, &mask);
    }
    std::printf("keyboard %s pointer %s keys 0x%lx\n",
                keyboard == AlreadyGrabbed ? "grabbed" : "free",
                pointer == AlreadyGrabbed ? "grabbed" : "free", focus);
    XCloseDisplay(display);
    return 0;
}
