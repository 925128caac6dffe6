// The demo's report backend: a modal dialog over the full-screen window.
#pragma once

#include "base/error_report.h"

// A modal dialog; where no dialog can be shown, "caption: text" on standard error.
void showDialogReport(ReportOwner owner, const char* text, const char* caption, unsigned style);
