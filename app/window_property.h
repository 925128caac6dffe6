// Reading one 32-bit item (a window, a state, a count) of an X window's property.
#pragma once

#include <X11/Xlib.h>

// The first item of WINDOW's property NAME when it is of TYPE and 32-bit; FALLBACK where
// the window has no such property (or no longer exists, as an X error).
inline long windowPropertyItem(Display* display, Window window, const char* name, Atom type,
                               long fallback) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, left = 0;
    unsigned char* data = nullptr;
    long item = fallback;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1, False, type,
                           &actualType, &format, &count, &left, &data) == Success &&
        actualType == type && format == 32 && count == 1)
        item = *reinterpret_cast<long*>(data);
    if (data != nullptr) XFree(data);
    return item;
}
