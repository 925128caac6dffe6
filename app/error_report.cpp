// Error reports through one replaceable backend.
// SDL's simple message box is a real modal dialog on X11 and Wayland; it needs no SDL_Init.
#include "app/error_report.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstring>

ReportBackend reportBackend = showDialogReport;

void reportError(ReportOwner owner, const char* text, const char* caption, unsigned style) {
    reportBackend(owner, text, caption, style);
}

void printReport(ReportOwner, const char* text, const char* caption, unsigned) {
    // A text may already end in a line feed; do not add a second one.
    size_t length = std::strlen(text);
    bool endsInNewline = length > 0 && text[length - 1] == '\n';
    std::fprintf(stderr, "%s: %s%s", caption, text, endsInNewline ? "" : "\n");
    std::fflush(stderr);
}

void showDialogReport(ReportOwner owner, const char* text, const char* caption, unsigned style) {
    // The demo's window belongs to GLUT, not SDL, so there is no SDL parent to give.
    Uint32 flags =
        (style & kReportWarning) == kReportWarning ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_ERROR;
    if (SDL_ShowSimpleMessageBox(flags, caption, text, nullptr) != 0) {
        printReport(owner, text, caption, style);
    }
}
