// The report dialog. SDL's simple message box is a real modal dialog on X11 and Wayland;
// it needs no SDL_Init.
#include "app/report_dialog.h"

#include <SDL2/SDL.h>

void showDialogReport(ReportOwner owner, const char* text, const char* caption, unsigned style) {
    // The demo's window belongs to GLUT, not SDL, so there is no SDL parent to give.
    Uint32 flags =
        (style & kReportWarning) == kReportWarning ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_ERROR;
    if (SDL_ShowSimpleMessageBox(flags, caption, text, nullptr) != 0) {
        printReport(owner, text, caption, style);
    }
}
