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

// Where no box can be shown, whichever helpers the machine has: SDL would hand a box
// without an X display to zenity, which fails there and yet counts as shown.
TEST(ErrorReport, DialogWithoutADisplayFallsBackToStandardError) {
    const std::string path = getenv("PATH") != nullptr ? getenv("PATH") : "";
    struct Row {
        const char* name;
        const char* display;  // null: unset
        std::string path;
    };
    const Row rows[] = {
        {"no display, zenity where installed", nullptr, path},
        {"no display, no zenity", nullptr, "/nonexistent"},
        {"a display that is not there", ":65000", path},
    };
    unsetenv("WAYLAND_DISPLAY");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.display != nullptr)
            setenv("DISPLAY", row.display, 1);
        else
            unsetenv("DISPLAY");
        setenv("PATH", row.path.c_str(), 1);
        testing::internal::CaptureStderr();
        showDialogReport(ReportOwner::None, "Cannot open shader file!", "ERROR", kReportWarning);
        showDialogReport(ReportOwner::FocusedWindow, "Failed to open DIB file b.bmp.\n", "Error",
                         kReportOk);
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "ERROR: Cannot open shader file!\n"
                  "Error: Failed to open DIB file b.bmp.\n");
    }
    setenv("PATH", path.c_str(), 1);
}

}  // namespace
