// Names the two programs, the installer and the tests agree on. The
// installer's script takes the window texts and the staging folder from here
// (packaging/CMakeLists.txt reads these lines), so each stays a plain string
// on a line of its own.
#pragma once

namespace kavuno::names {

// Both main windows are dialog windows of this class; only that class counts,
// so that an Explorer window on a folder named after a program is never taken
// for the program itself.
inline constexpr wchar_t kDialogWindowClass[] = L"#32770";
// The player's window text: the launcher will not run beside it.
inline constexpr wchar_t kPlayerWindowText[] = L"Kavuno";
// The launcher's window text: the player needs it, and closes it.
inline constexpr wchar_t kLauncherWindowText[] = L"KavunoUp";

// Each program's log is "<name>.log" in the log folder, and its crash dumps
// start with the name.
inline constexpr wchar_t kPlayerLogName[] = L"kavuno";
inline constexpr wchar_t kLauncherLogName[] = L"kavunoup";

// The launcher's own folder beside its program (launcher/staged_file.h): no
// update may write into it, and the uninstaller removes it.
inline constexpr char16_t kStagingFolderName[] = u"KavunoUp.staging";

}  // namespace kavuno::names
