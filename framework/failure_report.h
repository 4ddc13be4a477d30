// An exception caught where it must not go further: a window or dialog
// procedure, a control's subclass, a COM callback. Past such a boundary the
// 32-bit build's unwinding ends the process and the 64-bit build's outcome is
// undefined, so each boundary catches everything and reports it here: the
// failure is logged, the user is told once per run (a message box shown from
// the message loop, after the failing handler has returned) and the program
// goes on.
#pragma once
#include <string>

namespace kavuno::ui {

// Call from inside a catch block; `where` names the boundary.
void ReportCaughtFailure(const char* where) noexcept;
// Inside a catch block: what the exception being handled says.
std::string CaughtExceptionText();

// Runs `body`; a C++ exception from it is reported as caught at `where` and
// `fallback` is returned instead.
template <class R, class Body>
R Guarded(const char* where, R fallback, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        ReportCaughtFailure(where);
        return fallback;
    }
}

// How the user is told about the first failure (a test puts its own here).
using FailureNotice = void (*)(const std::wstring& text);
void SetFailureNotice(FailureNotice notice);

// Failures reported in this run.
int CaughtFailureCount();

}  // namespace kavuno::ui
