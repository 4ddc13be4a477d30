// The version resources of both programs, read back out of the built files as
// Explorer's properties and installers read them: the numbers agree with the
// build's version, and the Chinese texts arrive as Unicode.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

std::wstring Beside(const wchar_t* name) {
    wchar_t self[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, n);
    return path.substr(0, path.find_last_of(L'\\') + 1) + name;
}

std::wstring Widen(const char* utf8) {
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, out.data(), n);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

class VersionInfo {
public:
    explicit VersionInfo(const std::wstring& file) {
        DWORD ignored = 0;
        DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
        if (size == 0) return;
        data_.resize(size);
        if (!GetFileVersionInfoW(file.c_str(), 0, size, data_.data())) data_.clear();
    }
    bool Found() const { return !data_.empty(); }

    const VS_FIXEDFILEINFO* Fixed() {
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(data_.data(), L"\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO)) return nullptr;
        return static_cast<const VS_FIXEDFILEINFO*>(value);
    }
    // The first language and code page of the translation table.
    std::pair<WORD, WORD> Translation() {
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(data_.data(), L"\\VarFileInfo\\Translation", &value, &length) || length < 4) return {};
        auto* words = static_cast<const WORD*>(value);
        return {words[0], words[1]};
    }
    // A text of the Chinese (PRC), Unicode block; "<none>" when missing.
    std::wstring Text(const wchar_t* name) {
        std::wstring path = std::wstring(L"\\StringFileInfo\\080404b0\\") + name;
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(data_.data(), path.c_str(), &value, &length)) return L"<none>";
        return static_cast<const wchar_t*>(value);
    }

private:
    std::vector<char> data_;
};

struct Program {
    const wchar_t* file;
    const char* description;  // UTF-8
    const wchar_t* internalName;
};

class VersionResourceTest : public ::testing::TestWithParam<Program> {};

TEST_P(VersionResourceTest, NamesTheProductAndTheBuildsVersion) {
    const Program& program = GetParam();
    VersionInfo info(Beside(program.file));
    ASSERT_TRUE(info.Found()) << "no version resource in the file beside the test";

    const VS_FIXEDFILEINFO* fixed = info.Fixed();
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    const DWORD high = MAKELONG(KAVUNO_VERSION_MINOR, KAVUNO_VERSION_MAJOR);
    const DWORD low = MAKELONG(0, KAVUNO_VERSION_PATCH);
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u);

    EXPECT_EQ(info.Translation(), std::make_pair(WORD{0x0804}, WORD{1200}));
    EXPECT_EQ(info.Text(L"ProductName"), L"Kavuno");
    EXPECT_EQ(info.Text(L"CompanyName"), L"Kavuno");
    EXPECT_EQ(info.Text(L"ProductVersion"), Widen(KAVUNO_VERSION));
    EXPECT_EQ(info.Text(L"FileVersion"), Widen(KAVUNO_VERSION) + L".0");
    EXPECT_EQ(info.Text(L"FileDescription"), Widen(program.description));
    EXPECT_EQ(info.Text(L"OriginalFilename"), program.file);
    EXPECT_EQ(info.Text(L"InternalName"), program.internalName);
    EXPECT_EQ(info.Text(L"LegalCopyright"), L"\u00A9 Kavuno");
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, VersionResourceTest,
                         ::testing::Values(Program{L"KavunoUp.exe",
                                                   "Kavuno \xE6\x9B\xB4\xE6\x96\xB0\xE7\xA8\x8B\xE5\xBA\x8F",
                                                   L"KavunoUp"},  // Kavuno 更新程序
                                           Program{L"kavuno.exe", "Kavuno \xE6\x92\xAD\xE6\x94\xBE\xE5\x99\xA8",
                                                   L"kavuno"}),  // Kavuno 播放器
                         [](const auto& info) { return info.index == 0 ? "KavunoUp" : "kavuno"; });

}  // namespace
