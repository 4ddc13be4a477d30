// The launcher's CNG verifier against lists that the native kavuno-release
// signed with libcrypto (make-signed-lists.sh, a ctest fixture): the good
// list verifies, every file hashes to its line read in 200-byte pieces, and a
// changed byte, another key or a damaged key does not.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "common/gbk_win.h"
#include "common/ownership.h"
#include "launcher/cng_crypto.h"
#include "launcher/update_list.h"

namespace {

using namespace kavuno::launcher;

std::wstring Folder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(L"KAVUNO_SIGNED_LISTS", path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(path, n) + L"\\" : std::wstring();
}

std::string Read(const std::wstring& path) {
    const kavuno::win::OwnedHandle f(
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!f) return {};
    std::string bytes(GetFileSize(f.get(), nullptr), '\0');
    DWORD read = 0;
    ReadFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    return bytes;
}

bool Verifies(const CngPublicKey& key, const std::string& text) {
    std::string error;
    auto list = ParseUpdateList(text, error);
    EXPECT_TRUE(list) << error;
    return list && key.Verify(std::string_view(text).substr(0, list->signedLength), list->signature);
}

TEST(UpdateSignature, CngAcceptsWhatTheOperatorToolSignedAndNothingElse) {
    const std::wstring dir = Folder();
    ASSERT_FALSE(dir.empty()) << "KAVUNO_SIGNED_LISTS is not set (the launcher_signed_lists fixture)";
    std::string point = Read(dir + L"k.point");
    ASSERT_EQ(point.size(), 64u);
    unsigned char xy[64];
    std::memcpy(xy, point.data(), 64);
    CngPublicKey key(xy);
    ASSERT_TRUE(key.ok());

    const std::string text = Read(dir + L"srv\\movie\\update.sig");
    EXPECT_TRUE(Verifies(key, text));
    std::string error;
    auto list = ParseUpdateList(text, error);
    ASSERT_TRUE(list) << error;
    ASSERT_EQ(list->list.files.size(), 3u);
    CngProvider sha256(BCRYPT_SHA256_ALGORITHM);
    for (const ListedFile& file : list->list.files) {
        SCOPED_TRACE(file.name);
        std::string bytes = Read(dir + L"srv\\movie\\file\\" + kavuno::gbk::ToWide(file.name));
        EXPECT_EQ(bytes.size(), file.size);
        CngSha256 hash(sha256);
        for (size_t at = 0; at < bytes.size(); at += 200)
            hash.Update(bytes.data() + at, std::min<size_t>(200, bytes.size() - at));
        EXPECT_TRUE(hash.ok());
        EXPECT_EQ(hash.Finish(), file.sha256);
    }

    // One changed byte anywhere: in the serial, a size, a name, the signature.
    std::string lastDigit = text.substr(text.size() - 2, 1);
    for (auto [from, to] : {std::pair<std::string, std::string>{"serial 5\n", "serial 6\n"},
                            {"file 6 ", "file 7 "},
                            {"blue", "bluf"},
                            {lastDigit + "\n", (lastDigit == "0" ? "1" : "0") + std::string("\n")}}) {
        SCOPED_TRACE(from);
        std::string changed = text;
        size_t at = changed.rfind(from);
        ASSERT_NE(at, std::string::npos);
        EXPECT_FALSE(Verifies(key, changed.replace(at, from.size(), to)));
    }
    EXPECT_FALSE(Verifies(key, Read(dir + L"other\\movie\\update.sig")));  // the same files, another key

    // A key that is no point of the curve does not import, and verifies nothing.
    unsigned char zeros[64] = {};
    CngPublicKey broken(zeros);
    EXPECT_FALSE(broken.ok());
    EXPECT_FALSE(Verifies(broken, text));
}

}  // namespace
