// The demo's full-screen window, chosen for the desktop it starts on.
#pragma once

// glutInit with the command line; a window manager that died does not end the program.
// Returns the display GLUT opens: the value of a -display argument, or null for $DISPLAY.
const char* initGlutOnDesktop(int* argc, char** argv);

// Opens the demo's full-screen window on displayName (game mode on a bare X server, an
// ordinary full-screen window under a window manager or on Xwayland) and makes its GL
// context current. Needs glutInit and glutInitDisplayMode first.
void openDesktopWindow(const char* displayName);
