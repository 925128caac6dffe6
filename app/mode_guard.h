// The mode guard: a small process that gives the screen its mode back when the demo
// ends in a way no exit handler sees (SIGKILL, a crash, its X connection closed).
#pragma once

// Call just before switching the screen of the X display DISPLAY_NAME (null: $DISPLAY)
// to WIDTH x HEIGHT. Starts no process where that switch would change nothing the guard
// can put back (the screen in that mode already, no such mode). Xwayland's modes are
// emulated and end with the client: no switch, and so no guard, is made there.
void startModeGuard(const char* displayName, int width, int height);
