// A report backend for tests: keeps every report in order instead of showing it.
#pragma once

#include <string>
#include <vector>

#include "app/error_report.h"

struct RecordedReport {
    ReportOwner owner;
    std::string text;
    std::string caption;
    unsigned style;
};

// Installs the recorder for the lifetime of the object and restores the old backend.
struct ReportRecorder {
    ReportBackend saved;
    ReportRecorder();
    ~ReportRecorder();
    const std::vector<RecordedReport>& reports() const;
    void clear();
};
