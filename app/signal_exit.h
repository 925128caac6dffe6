// Ctrl+C, kill and a closed terminal end the demo through the normal exit, so that the
// exit handlers give the screen its mode back; the shell still sees the signal.
#pragma once

// Catches SIGINT, SIGTERM and SIGHUP. Call it before anything registers an exit handler:
// the signal is raised again once all the others have run.
void catchEndSignals();

// Ends the process when one of those signals came; called from the main loop.
void exitOnCaughtSignal();
