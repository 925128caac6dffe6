// Records every report instead of showing it, so tests can assert text, caption, style
// and count.
#pragma once

#include <string>
#include <vector>

#include "app/error_report.h"

struct LoggedReport {
    ReportOwner owner;
    std::string text;
    std::string caption;
    unsigned style;
};

// Installs itself as the report backend for its lifetime.
class ReportLog {
  public:
    ReportLog() : previous_(reportBackend) {
        entries().clear();
        reportBackend = record;
    }
    ~ReportLog() { reportBackend = previous_; }
    ReportLog(const ReportLog&) = delete;
    ReportLog& operator=(const ReportLog&) = delete;

    const std::vector<LoggedReport>& reports() const { return entries(); }
    void clear() { entries().clear(); }

  private:
    static std::vector<LoggedReport>& entries() {
        static std::vector<LoggedReport> logged;
        return logged;
    }
    static void record(ReportOwner owner, const char* text, const char* caption, unsigned style) {
        entries().push_back({owner, text, caption, style});
    }
    ReportBackend previous_;
};
