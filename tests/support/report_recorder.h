// A report backend for tests: keeps every report in order instead of showing it.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "base/error_report.h"

struct RecordedReport {
    ReportOwner owner;
    std::string text;
    std::string caption;
    unsigned style;

    bool operator==(const RecordedReport& other) const {
        return owner == other.owner && text == other.text && caption == other.caption &&
               style == other.style;
    }
};

inline void PrintTo(const RecordedReport& report, std::ostream* out) {
    *out << "{owner " << static_cast<int>(report.owner) << ", \"" << report.text << "\", \""
         << report.caption << "\", style 0x" << std::hex << report.style << std::dec << "}";
}

// The reports since the recorder was installed.
inline std::vector<RecordedReport>& recordedReports() {
    static std::vector<RecordedReport> reports;
    return reports;
}

// The reports kept so far, leaving the record empty for what follows.
inline std::vector<RecordedReport> takeRecordedReports() {
    std::vector<RecordedReport> reports;
    reports.swap(recordedReports());
    return reports;
}

inline void recordReport(ReportOwner owner, const char* text, const char* caption, unsigned style) {
    recordedReports().push_back({owner, text, caption, style});
}

// Installs the recorder for its lifetime, with an empty record.
struct ReportRecorder {
    ReportBackend previous;

    ReportRecorder() : previous(reportBackend) {
        recordedReports().clear();
        reportBackend = recordReport;
    }
    ~ReportRecorder() { reportBackend = previous; }
    ReportRecorder(const ReportRecorder&) = delete;
    ReportRecorder& operator=(const ReportRecorder&) = delete;
};
