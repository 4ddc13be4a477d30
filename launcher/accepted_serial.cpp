#include "launcher/accepted_serial.h"

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "common/ownership.h"

namespace kavuno::launcher {
namespace {

constexpr wchar_t kFolder[] = L"\\Kavuno";
constexpr wchar_t kFile[] = L"\\update-serial.txt";
constexpr DWORD kMaxRecord = 64;  // "18446744073709551615\r\n" and then some

}  // namespace

std::wstring AcceptedSerialPath() {
    wchar_t local[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, local)))
        return {};
    return std::wstring(local) + kFolder + kFile;
}

uint64_t ReadAcceptedSerial(const std::wstring& path) {
    const win::OwnedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return 0;
    char text[kMaxRecord];
    DWORD read = 0;
    bool ok = ReadFile(file.get(), text, sizeof text, &read, nullptr) != FALSE;
    uint64_t serial = 0;
    for (DWORD i = 0; ok && i < read && text[i] >= '0' && text[i] <= '9'; ++i) {
        uint64_t digit = static_cast<uint64_t>(text[i] - '0');
        if (serial > (UINT64_MAX - digit) / 10) return 0;  // not a record this launcher wrote
        serial = serial * 10 + digit;
    }
    return ok ? serial : 0;
}

bool WriteAcceptedSerial(const std::wstring& path, uint64_t serial) {
    if (path.empty()) return false;
    std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
    CreateDirectoryW(folder.c_str(), nullptr);  // fails harmlessly when it exists
    std::wstring temporary = path + L"." + std::to_wstring(GetCurrentProcessId()) + L".new";
    std::string text = std::to_string(serial) + "\r\n";
    win::OwnedHandle file(
        CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    bool ok = WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
              written == text.size() && FlushFileBuffers(file.get());
    file.Reset();  // closed before it is moved
    if (ok && MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temporary.c_str());
    return false;
}

}  // namespace kavuno::launcher
