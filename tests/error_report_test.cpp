// The report operation: its replaceable backend and the standard-error forms.
// The real dialog is tested end to end (e2e/report_dialog.sh).
#include "base/error_report.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/report_dialog.h"
#include "tests/support/report_recorder.h"

namespace {

TEST(ErrorReport, ReportsReachTheInstalledBackendInOrder) {
    ReportRecorder recorder;
    reportError(ReportOwner::None, "first", "ERROR", kReportWarning);
    reportError(ReportOwner::FocusedWindow, "Failed to open DIB file a.bmp.\n", "Error", kReportOk);
    const std::vector<RecordedReport> expected = {
        {ReportOwner::None, "first", "ERROR", 0x30},
        {ReportOwner::FocusedWindow, "Failed to open DIB file a.bmp.\n", "Error", 0x0},
    };
    EXPECT_EQ(recordedReports(), expected);
}

TEST(ErrorReport, PrintWritesCaptionAndTextWithOneLineEnd) {
    testing::internal::CaptureStderr();
    printReport(ReportOwner::None, "Variable name could not be found!", "ERROR", kReportWarning);
    printReport(ReportOwner::FocusedWindow, "Failed to open DIB file a.bmp.\n", "Error", kReportOk);
    printReport(ReportOwner::None, "", "Linking Error", kReportWarning);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "ERROR: Variable name could not be found!\n"
              "Error: Failed to open DIB file a.bmp.\n"
              "Linking Error: \n");
}

TEST(ErrorReport, DialogWithoutADisplayFallsBackToStandardError) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    testing::internal::CaptureStderr();
    showDialogReport(ReportOwner::None, "Cannot open shader file!", "ERROR", kReportWarning);
    showDialogReport(ReportOwner::FocusedWindow, "Failed to open DIB file b.bmp.\n", "Error",
                     kReportOk);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "ERROR: Cannot open shader file!\n"
              "Error: Failed to open DIB file b.bmp.\n");
}

}  // namespace
