// StagedFile and the staging folder: a download replaces its target only when
// committed, its bytes wait in the launcher's own folder, and the clean-up at
// start removes only what the launcher itself left there.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <iterator>
#include <string>
#include <vector>

#include "common/ownership.h"
#include "common/program_names.h"
#include "framework/app.h"
#include "launcher/staged_file.h"

namespace {

using kavuno::launcher::StagedFile;
using kavuno::launcher::StagingFolder;
using kavuno::win::OwnedFind;
using kavuno::win::OwnedHandle;

// The staging folder's name and a backslash.
const std::wstring kStaging = std::wstring(std::begin(kavuno::names::kStagingFolderName),
                                           std::end(kavuno::names::kStagingFolderName) - 1) +
                              L"\\";

std::wstring ScratchFolder() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    return std::wstring(base) + L"kavuno-staged-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
}

class StagedFileTest : public ::testing::Test {
protected:
    void SetUp() override { CreateDirectoryW(dir_.c_str(), nullptr); }
    void TearDown() override {
        for (const std::wstring& folder : {staging_.Path(), dir_}) {
            for (const std::wstring& name : Names(folder)) DeleteFileW((folder + name).c_str());
            RemoveDirectoryW(folder.c_str());
        }
    }
    std::wstring Path(const wchar_t* name) const { return dir_ + name; }
    static std::vector<std::wstring> Names(const std::wstring& folder) {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found;
        const OwnedFind search(FindFirstFileW((folder + L"*").c_str(), &found));
        if (!search) return names;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
        } while (FindNextFileW(search.get(), &found));
        std::sort(names.begin(), names.end());
        return names;
    }
    static void Put(const std::wstring& path, const std::string& bytes) {
        const OwnedHandle f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
    static std::string Get(const std::wstring& path) {
        const OwnedHandle f(
            CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!f) return "<missing>";
        std::string bytes(GetFileSize(f.get(), nullptr), '\0');
        DWORD read = 0;
        ReadFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
        return bytes;
    }

    const std::wstring dir_ = ScratchFolder();
    const StagingFolder staging_{dir_};
};

TEST_F(StagedFileTest, BytesWaitInTheStagingFolderUntilTheCommitMovesThemOverTheTarget) {
    EXPECT_EQ(staging_.Path(), dir_ + kStaging);
    Put(Path(L"a.dat"), "old");
    StagedFile file(Path(L"a.dat"), staging_);
    ASSERT_TRUE(file.Create());
    EXPECT_EQ(file.TemporaryPath().rfind(staging_.Path() + L"download-", 0), 0u);
    EXPECT_EQ(file.TemporaryPath().substr(file.TemporaryPath().size() - 5), L".part");
    ASSERT_TRUE(file.Write("new ", 4));
    ASSERT_TRUE(file.Write("bytes", 5));
    EXPECT_EQ(Get(Path(L"a.dat")), "old");                        // nothing reaches the target before the commit
    EXPECT_EQ(Names(dir_), std::vector<std::wstring>{L"a.dat"});  // nothing beside it either
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(Get(Path(L"a.dat")), "new bytes");
    EXPECT_TRUE(Names(staging_.Path()).empty());

    // Two downloads at once never share a temporary file.
    StagedFile first(Path(L"a.dat"), staging_), second(Path(L"a.dat"), staging_);
    ASSERT_TRUE(first.Create());
    ASSERT_TRUE(second.Create());
    EXPECT_NE(first.TemporaryPath(), second.TemporaryPath());
}

TEST_F(StagedFileTest, AnythingButACommitLeavesTheOldFileAndNoTemporaryFile) {
    Put(Path(L"a.dat"), "old");
    {
        StagedFile file(Path(L"a.dat"), staging_);
        ASSERT_TRUE(file.Create());
        ASSERT_TRUE(file.Write("partial", 7));
    }  // no commit
    StagedFile discarded(Path(L"a.dat"), staging_);
    ASSERT_TRUE(discarded.Create());
    discarded.Discard();
    EXPECT_FALSE(discarded.Commit());
    // A target that cannot be replaced: open without FILE_SHARE_DELETE.
    OwnedHandle busy(
        CreateFileW(Path(L"a.dat").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(busy.get(), INVALID_HANDLE_VALUE);
    StagedFile blocked(Path(L"a.dat"), staging_);
    ASSERT_TRUE(blocked.Create());
    ASSERT_TRUE(blocked.Write("new", 3));
    EXPECT_FALSE(blocked.Commit());
    busy.Reset();
    // A target in a folder that does not exist.
    StagedFile nowhere(Path(L"nodir\\a.dat"), staging_);
    ASSERT_TRUE(nowhere.Create());
    EXPECT_FALSE(nowhere.Commit());
    EXPECT_EQ(Get(Path(L"a.dat")), "old");
    EXPECT_TRUE(Names(staging_.Path()).empty());
}

TEST_F(StagedFileTest, ManySmallAndSomeLargeWritesArriveInOrder) {
    std::string expected;
    StagedFile file(Path(L"big.dat"), staging_);
    ASSERT_TRUE(file.Create());
    for (int i = 0; i < 3000; ++i) {  // 200-byte chunks across many buffer fills
        std::string chunk(200, static_cast<char>('a' + i % 26));
        chunk[0] = static_cast<char>(i & 0xFF);
        expected += chunk;
        ASSERT_TRUE(file.Write(chunk.data(), chunk.size()));
    }
    std::string large(200000, 'z');  // larger than the buffer: written straight through
    expected += large;
    ASSERT_TRUE(file.Write(large.data(), large.size()));
    ASSERT_TRUE(file.Write("end", 3));
    expected += "end";
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(Get(Path(L"big.dat")), expected);
}

TEST_F(StagedFileTest, TheCleanUpRemovesOnlyTheLaunchersOwnLeftovers) {
    ASSERT_TRUE(staging_.Ensure());
    const std::wstring& s = kStaging;
    for (const std::wstring& name : {s + L"download-12-1.part", s + L"DOWNLOAD-7-3.PART", s + L"replaced-12-2.old",
                                     s + L"files.txt", s + L"notes.part", s + L"download-12-9.partial",
                                     std::wstring(L"notes.part"), std::wstring(L"a.dat.part"), s + L"busy.part"})
        Put(dir_ + name, "x");
    Put(staging_.Path() + L"download-99-1.part", "in use");
    // Another launcher's download in progress: open and not shared for deletion.
    OwnedHandle busy(CreateFileW((staging_.Path() + L"download-99-1.part").c_str(), GENERIC_WRITE, 0, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(busy.get(), INVALID_HANDLE_VALUE);
    staging_.RemoveLeftovers();
    busy.Reset();
    EXPECT_EQ(Names(staging_.Path()), (std::vector<std::wstring>{L"busy.part", L"download-12-9.partial",
                                                                 L"download-99-1.part", L"files.txt", L"notes.part"}));
    EXPECT_EQ(Names(dir_), (std::vector<std::wstring>{L"a.dat.part", L"notes.part"}));

    // files.txt and the like are replaced whole.
    ASSERT_TRUE(staging_.Store(L"files.txt", std::string("\xFF\xFE"
                                                         "a\0\r\0\n\0",
                                                         8)));
    EXPECT_EQ(staging_.Load(L"files.txt", 100), std::string("\xFF\xFE"
                                                            "a\0\r\0\n\0",
                                                            8));
    EXPECT_EQ(staging_.Load(L"files.txt", 3),
              "\xFF\xFE"
              "a");
    EXPECT_EQ(staging_.Load(L"missing.txt", 100), "");
}

TEST_F(StagedFileTest, TheRunningProgramIsRecognisedHoweverItIsSpelled) {
    std::wstring self = kavuno::ui::ProgramPath();
    std::wstring upper = self;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](wchar_t c) { return std::towupper(c); });
    EXPECT_TRUE(kavuno::launcher::IsSameFile(self, self));
    EXPECT_TRUE(kavuno::launcher::IsSameFile(self, upper));
    Put(Path(L"copy.exe"), "x");
    EXPECT_FALSE(kavuno::launcher::IsSameFile(self, Path(L"copy.exe")));
    EXPECT_FALSE(kavuno::launcher::IsSameFile(self, Path(L"missing.exe")));
}

}  // namespace
