// The demo's full-screen window, chosen for the desktop it starts on.
#pragma once

// The display GLUT opens: the value of a -display argument, or null for $DISPLAY. Read
// it before glutInit, which takes GLUT's options out of argv.
const char* displayArgument(int argc, char** argv);

// Opens the demo's full-screen window on displayName (game mode on a bare X server, an
// ordinary full-screen window under a window manager or on Xwayland) and makes its GL
// context current. Needs glutInit and glutInitDisplayMode first.
void openDesktopWindow(const char* displayName);
