// Failures caught at the framework's boundaries, the program log, and what an
// unhandled structured exception leaves behind (through crash_probe.exe).
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "common/ownership.h"
#include "framework/app.h"
#include "framework/crash_report.h"
#include "framework/dialog.h"
#include "framework/failure_report.h"
#include "framework/program_log.h"

namespace {

namespace fs = std::filesystem;
using kavuno::ui::Control;
using kavuno::ui::Dialog;
using kavuno::ui::MessageEntry;

constexpr UINT kTestDialog = 200;  // framework_test.rc
constexpr int kEdit = 10;
constexpr int kButton = 11;

// A log folder of the test's own (LOCALAPPDATA, inherited by the probe).
fs::path UseLogFolder() {
    static const fs::path folder = [] {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        fs::path base = fs::path(temp) / (L"kavuno-failures-" + std::to_wstring(GetCurrentProcessId()));
        std::error_code ignored;
        fs::remove_all(base, ignored);  // process ids come round again (under Wine, with each new server)
        fs::create_directories(base);
        _wputenv((L"LOCALAPPDATA=" + base.wstring()).c_str());
        return base / L"Kavuno";
    }();
    return folder;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

class ThrowingControl : public Control {
protected:
    bool HandleMessage(UINT message, WPARAM, LPARAM, LRESULT&) override {
        if (message == WM_USER + 1) throw std::runtime_error("control failed");
        return false;
    }
};

class ThrowingDlg : public Dialog<ThrowingDlg> {
public:
    static const MessageEntry<ThrowingDlg> kMessageTable[];
    ThrowingDlg();
    ThrowingControl edit;
    LRESULT handlerResult = -1, controlResult = -1;

protected:
    bool OnInitDialog() override {
        Dialog::OnInitDialog();
        handlerResult = SendMessageW(hwnd(), WM_APP + 1, 0, 0);
        controlResult = SendMessageW(edit.hwnd(), WM_USER + 1, 0, 0);
        PostMessageW(hwnd(), WM_APP, 0, 0);  // the filter fails on it
        PostMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(kButton, BN_CLICKED), 0);
        return true;
    }
    void DoDataExchange() override { Bind(kEdit, edit); }
    bool PreTranslateMessage(MSG& msg) override {
        if (msg.message == WM_APP) throw std::logic_error("filter failed");
        return false;
    }

private:
    bool OnUser(WPARAM, LPARAM, LRESULT& result) {
        result = 5;
        throw std::runtime_error("handler failed");
    }
    void OnButton() { EndDialog(kButton); }
};

const MessageEntry<ThrowingDlg> ThrowingDlg::kMessageTable[] = {
    kavuno::ui::OnMessage(WM_APP + 1, &ThrowingDlg::OnUser),
    kavuno::ui::OnCommand(BN_CLICKED, kButton, &ThrowingDlg::OnButton),
};

ThrowingDlg::ThrowingDlg() : Dialog(kTestDialog, kMessageTable) {}

int g_notices = 0;
std::wstring g_noticeText;

TEST(Failures, ThrowingHandlersAreCaughtLoggedToldOnceAndTheWindowGoesOn) {
    const fs::path folder = UseLogFolder();
    kavuno::ui::SetLogName(L"failure_test");
    // A notice that another test left waiting goes first.
    MSG msg;
    for (int i = 0; i < 5; ++i, Sleep(10))
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    kavuno::ui::SetFailureNotice([](const std::wstring& text) {
        ++g_notices;
        g_noticeText = text;
    });
    const int before = kavuno::ui::CaughtFailureCount();
    ThrowingDlg dlg;
    EXPECT_EQ(dlg.DoModal(), kButton);  // the loop went on past every failure
    EXPECT_EQ(dlg.handlerResult, 0);    // default processing, not the half-done handler's result
    EXPECT_EQ(dlg.controlResult, 0);
    EXPECT_EQ(kavuno::ui::CaughtFailureCount() - before, 3);
    // The user is told once the loop is idle again (here: after it).
    for (DWORD start = GetTickCount(); g_notices == 0 && GetTickCount() - start < 5000;) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(10);
    }
    EXPECT_EQ(g_notices, 1);
    EXPECT_NE(g_noticeText.find(kavuno::ui::LogFilePath()), std::wstring::npos);
    const std::string log = ReadAll(folder / L"failure_test.log");
    for (const char* line : {"failure: dialog procedure: handler failed\n", "failure: control: control failed\n",
                             "failure: message filter: filter failed\n"})
        EXPECT_NE(log.find(line), std::string::npos) << line << log;

    // Past about a mebibyte the file is rotated before the next line.
    const fs::path file = folder / L"failure_test.log";
    std::ofstream(file, std::ios::binary | std::ios::app) << std::string(1u << 20, 'x');
    const auto fullSize = fs::file_size(file);
    kavuno::ui::WriteLog(kavuno::logfile::Kind::Start, L"version 1 \u7247");
    EXPECT_EQ(fs::file_size(folder / L"failure_test.log.1"), fullSize);
    const std::string fresh = ReadAll(file);
    EXPECT_EQ(fresh.substr(fresh.find(']')), "] start: version 1 \xE7\x89\x87\n");
}

DWORD RunProbe(const wchar_t* mode) {
    std::wstring command = L"\"" + kavuno::ui::ProgramDirectory() + L"crash_probe.exe\" " + mode;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 0;
    const kavuno::win::OwnedHandle thread(process.hThread), child(process.hProcess);
    WaitForSingleObject(child.get(), 60000);
    DWORD code = 0;
    GetExitCodeProcess(child.get(), &code);
    return code;
}

TEST(Failures, ACrashLeavesADumpALogLineAndANoteForTheNextStart) {
    const fs::path folder = UseLogFolder();
    EXPECT_EQ(RunProbe(L"access-violation"), static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    const auto note = kavuno::ui::TakeCrashNote(L"crash_probe");
    ASSERT_TRUE(note);
    EXPECT_FALSE(kavuno::ui::TakeCrashNote(L"crash_probe"));  // said once
    const fs::path dump(*note);
    EXPECT_EQ(dump.parent_path(), folder);
    EXPECT_EQ(dump.filename().wstring().rfind(L"crash_probe-", 0), 0u);
    EXPECT_EQ(ReadAll(dump).substr(0, 4), "MDMP");
    const std::string log = ReadAll(folder / L"crash_probe.log");
    EXPECT_NE(log.find("crash: access violation 0xC0000005 at "), std::string::npos) << log;
    EXPECT_NE(log.find(kavuno::ui::ToUtf8(dump.filename().wstring())), std::string::npos) << log;

    // An uncaught C++ exception ends the same way.
    EXPECT_EQ(RunProbe(L"throw"), 3u);
    EXPECT_TRUE(kavuno::ui::TakeCrashNote(L"crash_probe"));
    EXPECT_NE(ReadAll(folder / L"crash_probe.log").find("crash: uncaught C++ exception: thrown on purpose; "),
              std::string::npos);

    // Three dumps at most, the newest; and a dbghelp.dll beside the program is
    // never loaded (the system's writes the dump).
    const fs::path planted = fs::path(kavuno::ui::ProgramDirectory()) / L"dbghelp.dll";
    std::ofstream(planted, std::ios::binary) << "not a library";
    for (int i = 0; i < 3; ++i) {
        const fs::path old = folder / (L"crash_probe-20000101-00000" + std::to_wstring(i) + L"-1.dmp");
        std::ofstream(old, std::ios::binary) << "old";
        fs::last_write_time(old, fs::file_time_type::clock::now() - std::chrono::hours(24 * (i + 1)));
    }
    EXPECT_EQ(RunProbe(L"throw"), 3u);
    fs::remove(planted);
    EXPECT_TRUE(kavuno::ui::TakeCrashNote(L"crash_probe"));
    int dumps = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == L".dmp") {
            ++dumps;
            EXPECT_EQ(ReadAll(entry.path()).substr(0, 4), "MDMP") << entry.path();
        }
    EXPECT_EQ(dumps, 3);

    // A note that names anything but a dump in the log folder is no note.
    for (const std::wstring& forged : {std::wstring(L"C:\\windows\\win.ini"), folder.wstring() + L"\\..\\x.dmp",
                                       folder.wstring() + L"\\missing.dmp", std::wstring(5000, L'a')}) {
        std::ofstream(folder / L"crash_probe.crash", std::ios::binary)
            .write(reinterpret_cast<const char*>(forged.data()), static_cast<std::streamsize>(forged.size() * 2));
        EXPECT_FALSE(kavuno::ui::TakeCrashNote(L"crash_probe"));
        EXPECT_FALSE(fs::exists(folder / L"crash_probe.crash"));
    }
}

}  // namespace
