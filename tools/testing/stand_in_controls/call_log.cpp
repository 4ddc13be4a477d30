#include "tools/testing/stand_in_controls/call_log.h"

#include <windows.h>

#include "common/ownership.h"

namespace kavuno::stand_in {

void AppendCallLog(const std::string& line) {
    wchar_t path[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableW(L"KAVUNO_STAND_IN_LOG", path, MAX_PATH * 2);
    if (n == 0 || n >= MAX_PATH * 2) return;
    // Opened per line and shared: the test reads the file while we write it,
    // and controls of other processes may write to it as well.
    for (int attempt = 0; attempt < 50; ++attempt) {
        const win::OwnedHandle file(CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            DWORD written = 0;
            WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            return;
        }
        if (GetLastError() != ERROR_SHARING_VIOLATION) return;
        Sleep(5);
    }
}

}  // namespace kavuno::stand_in
