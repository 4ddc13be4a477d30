// What an unhandled structured exception (an access violation, say) leaves
// behind: a minidump "<program>-<date>-<time>.dmp" and a log line in the log
// folder, and a note "<program>.crash" naming the dump, which the next start
// takes (TakeCrashNote) to tell the user where it is. A C++ exception that
// nothing caught ends the same way.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace kavuno::ui {

// Installs the handler for this process; the files are named after `program`
// (as the log: see SetLogName). Everything the handler needs is prepared here,
// so that it has little left to do in a damaged process.
void InstallCrashHandler(std::wstring_view program);

// The dump that the last run of `program` left (its full path), once: the
// note is removed as it is read. Nothing when there is none.
std::optional<std::wstring> TakeCrashNote(std::wstring_view program);

}  // namespace kavuno::ui
