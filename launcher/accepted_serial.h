// The serial of the newest update list this user's launcher accepted, kept in
// "%LOCALAPPDATA%\Kavuno\update-serial.txt" (decimal ASCII), where the
// launcher can write without administrator rights. A list with a lower serial
// is refused, so a server cannot hand out an older, signed release again.
#pragma once
#include <cstdint>
#include <string>

namespace kavuno::launcher {

// The record's path; empty when the system has no local application data folder.
std::wstring AcceptedSerialPath();

// 0 when there is no record or it cannot be read: the first list is accepted.
uint64_t ReadAcceptedSerial(const std::wstring& path);

// Creates the folder when needed and replaces the record in one move, so a
// reader never sees half a number. False when it cannot be written.
bool WriteAcceptedSerial(const std::wstring& path, uint64_t serial);

}  // namespace kavuno::launcher
