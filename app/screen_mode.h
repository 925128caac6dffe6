// The screen mode the demo switches to through RandR, and gives back at exit.
#pragma once

#include <X11/Xlib.h>

// Sets the whole screen (root window and output) to width x height, at rate where that
// size offers it, unless it is that size already. Every mode switch of the demo starts
// here. Once it switched, restoreScreenMode is registered with atexit.
void switchScreenMode(Display* display, int width, int height, int rate);

// Gives back the mode switchScreenMode switched from, on a connection of its own. Does
// nothing when no mode was switched, when it already ran, or when the X server is gone.
void restoreScreenMode();
