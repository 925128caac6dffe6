// The demo's full-screen window, chosen for the desktop it starts on, and the screen
// mode it switches to and gives back.
#pragma once

// The display GLUT opens: the value of a -display argument, or null for $DISPLAY. Read
// it before glutInit, which takes GLUT's options out of argv.
const char* displayArgument(int argc, char** argv);

// Opens the demo's full-screen window on displayName (game mode on a bare X server, an
// ordinary full-screen window under a window manager or on Xwayland) and makes its GL
// context current. Needs glutInit and glutInitDisplayMode first.
void openDesktopWindow(const char* displayName);

// Gives back the screen mode that openDesktopWindow switched from. Does nothing when no
// mode was switched, when it already ran, or when the X server is gone; registered with
// atexit, so Escape's exit and every other normal exit run it.
void restoreScreenMode();
