// A recorder installed as the report backend, so tests can assert every report exactly.
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

inline std::vector<RecordedReport> recordedReports;

inline void recordReport(ReportOwner owner, const char* text, const char* caption, unsigned style) {
    recordedReports.push_back({owner, text, caption, style});
}

// Installs the recorder for one scope and puts the previous backend back after it.
class ReportRecorder {
  public:
    ReportRecorder() : previous_(reportBackend) {
        recordedReports.clear();
        reportBackend = recordReport;
    }
    ~ReportRecorder() { reportBackend = previous_; }
    ReportRecorder(const ReportRecorder&) = delete;
    ReportRecorder& operator=(const ReportRecorder&) = delete;

  private:
    ReportBackend previous_;
};
