// The program's log, "<program>.log" in the log folder, the folder Kavuno in
// %LOCALAPPDATA% (made on first use): one line each for the program's start,
// the update's result, playback starting and stopping, refusals and caught
// failures (line format and rotation: common/log_line.h). Each line is
// appended on its own with the file opened and closed around it, so a crash
// loses nothing and two programs never hold the file. Writing never fails
// loudly: a log that cannot be written is no reason to stop.
#pragma once
#include <string>
#include <string_view>

#include "common/log_line.h"

namespace kavuno::ui {

// Names the log file after the program ("kavuno" gives kavuno.log). Until
// then lines go to "kavuno-program.log".
void SetLogName(std::wstring_view program);
const std::wstring& LogName();

// The folder, with a trailing backslash: Kavuno in %LOCALAPPDATA%, or in the
// user's local application data folder when that variable is unset; empty
// when neither is known.
std::wstring LogFolder();
// The user's %LOCALAPPDATA%, or with `roaming` %APPDATA%: the variable, or
// the known folder when it is unset; empty when neither is known.
std::wstring UserDataFolder(bool roaming);
std::wstring LogFilePath();

// Appends one line of `kind`; `text` is UTF-8, or wide.
void WriteLog(logfile::Kind kind, std::string_view text) noexcept;
void WriteLog(logfile::Kind kind, std::wstring_view text) noexcept;

std::string ToUtf8(std::wstring_view text);

}  // namespace kavuno::ui
