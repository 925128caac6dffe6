// Shows one real report dialog per argument pair (caption, text), one after the other,
// and says on standard output when each call has returned. Driven by e2e/report_dialog.sh.
#include <SDL2/SDL.h>

#include <cstdio>

#include "app/error_report.h"

int main(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; i += 2) {
        SDL_ClearError();
        reportError(ReportOwner::None, argv[i + 1], argv[i], kReportWarning);
        std::printf("returned: %s\n", argv[i]);
        // A box that could not be shown leaves SDL's reason behind; the test quotes it.
        if (*SDL_GetError() != '\0') std::printf("SDL error: %s\n", SDL_GetError());
        std::fflush(stdout);
    }
    return 0;
}
