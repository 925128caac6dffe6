// Linked into tests that start SDL's audio: SDL asks for a real-time audio thread over
// D-Bus and never shuts D-Bus down, so what libdbus holds at exit is not ours to
// leak-check.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n";
}
