// Error reports through one replaceable backend; standard error until a program installs
// another.
#include "base/error_report.h"

#include <cstdio>
#include <cstring>

ReportBackend reportBackend = printReport;

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
