// Shows one real report dialog per argument pair (caption, text), one after the other,
// and says on standard output when each call has returned. Driven by e2e/report_dialog.sh.
#include <cstdio>

#include "app/report_dialog.h"

int main(int argc, char** argv) {
    reportBackend = showDialogReport;
    for (int i = 1; i + 1 < argc; i += 2) {
        reportError(ReportOwner::None, argv[i + 1], argv[i], kReportWarning);
        std::printf("returned: %s\n", argv[i]);
        std::fflush(stdout);
    }
    return 0;
}
