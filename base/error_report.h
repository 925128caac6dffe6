// The one way the system tells the user about a failure: a modal message box.
// Its backend is one replaceable function: a dialog in the demo (installed by main),
// standard error in the asset tool and by default, a recorder in tests.
#pragma once

// Whose child the box is: none, or the window that has the keyboard focus.
enum class ReportOwner { None, FocusedWindow };

// Box styles, with the values of the classic message-box flags.
enum ReportStyle : unsigned {
    kReportOk = 0x0,
    kReportWarning = 0x30,
};

using ReportBackend = void (*)(ReportOwner owner, const char* text, const char* caption,
                               unsigned style);

// Shows one report; returns only once the user has dismissed it.
void reportError(ReportOwner owner, const char* text, const char* caption, unsigned style);

// "caption: text" on standard error, for programs without a window.
void printReport(ReportOwner owner, const char* text, const char* caption, unsigned style);

extern ReportBackend reportBackend;
