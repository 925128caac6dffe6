// The recording report backend.
#include "tests/report_recorder.h"

namespace {
std::vector<RecordedReport> recorded;

void recordReport(ReportOwner owner, const char* text, const char* caption, unsigned style) {
    recorded.push_back({owner, text, caption, style});
}
}  // namespace

ReportRecorder::ReportRecorder() : saved(reportBackend) {
    recorded.clear();
    reportBackend = recordReport;
}

ReportRecorder::~ReportRecorder() { reportBackend = saved; }

const std::vector<RecordedReport>& ReportRecorder::reports() const { return recorded; }

void ReportRecorder::clear() { recorded.clear(); }
