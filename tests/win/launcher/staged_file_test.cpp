// StagedFile: a download replaces its target only when committed; anything
// else leaves the old file as it was and no temporary file behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "launcher/staged_file.h"

namespace {

using kavuno::launcher::StagedFile;

class StagedFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        dir_ = std::wstring(base) + L"kavuno-staged-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(dir_.c_str(), nullptr);
    }
    void TearDown() override {
        for (const wchar_t* name : {L"a.dat", L"a.dat.part", L"big.dat", L"keep.dat", L"partial", L"busy.part",
                                    L"sub\\b.dat.part", L"sub\\keep.dat", L"sub\\deep\\C.PART", L"x.part\\y.dat"})
            DeleteFileW((dir_ + name).c_str());
        for (const wchar_t* name : {L"sub\\deep", L"sub", L"x.part"}) RemoveDirectoryW((dir_ + name).c_str());
        RemoveDirectoryW(dir_.c_str());
    }
    std::wstring Path(const wchar_t* name) const { return dir_ + name; }
    static bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
    static void Put(const std::wstring& path, const std::string& bytes) {
        HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(f);
    }
    static std::string Get(const std::wstring& path) {
        HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE) return "<missing>";
        std::string bytes(GetFileSize(f, nullptr), '\0');
        DWORD read = 0;
        ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
        CloseHandle(f);
        return bytes;
    }

    std::wstring dir_;
};

TEST_F(StagedFileTest, CommitReplacesTheTargetAndLeavesNoTemporaryFile) {
    Put(Path(L"a.dat"), "old");
    StagedFile file(Path(L"a.dat"));
    ASSERT_TRUE(file.Create());
    EXPECT_EQ(file.TemporaryPath(), Path(L"a.dat.part"));
    ASSERT_TRUE(file.Write("new ", 4));
    ASSERT_TRUE(file.Write("bytes", 5));
    EXPECT_EQ(Get(Path(L"a.dat")), "old");  // nothing reaches the target before the commit
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(Get(Path(L"a.dat")), "new bytes");
    EXPECT_FALSE(Exists(Path(L"a.dat.part")));
}

TEST_F(StagedFileTest, AnAbandonedDownloadKeepsTheOldFile) {
    Put(Path(L"a.dat"), "old");
    {
        StagedFile file(Path(L"a.dat"));
        ASSERT_TRUE(file.Create());
        ASSERT_TRUE(file.Write("partial", 7));
    }  // no commit
    EXPECT_EQ(Get(Path(L"a.dat")), "old");
    EXPECT_FALSE(Exists(Path(L"a.dat.part")));

    StagedFile discarded(Path(L"a.dat"));
    ASSERT_TRUE(discarded.Create());
    discarded.Discard();
    EXPECT_FALSE(Exists(Path(L"a.dat.part")));
    EXPECT_FALSE(discarded.Commit());
    EXPECT_EQ(Get(Path(L"a.dat")), "old");
}

TEST_F(StagedFileTest, ATargetThatCannotBeReplacedStaysAsItWas) {
    Put(Path(L"a.dat"), "old");
    // Open without FILE_SHARE_DELETE, as a running program's file is.
    HANDLE busy = CreateFileW(Path(L"a.dat").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(busy, INVALID_HANDLE_VALUE);
    StagedFile file(Path(L"a.dat"));
    ASSERT_TRUE(file.Create());
    ASSERT_TRUE(file.Write("new", 3));
    EXPECT_FALSE(file.Commit());
    CloseHandle(busy);
    EXPECT_EQ(Get(Path(L"a.dat")), "old");
    EXPECT_FALSE(Exists(Path(L"a.dat.part")));
}

TEST_F(StagedFileTest, AMissingDirectoryCannotBeCreated) {
    StagedFile file(Path(L"nodir\\a.dat"));
    EXPECT_FALSE(file.Create());
    EXPECT_FALSE(file.Write("x", 1));
    EXPECT_FALSE(file.Commit());
}

TEST_F(StagedFileTest, ManySmallAndSomeLargeWritesArriveInOrder) {
    std::string expected;
    StagedFile file(Path(L"big.dat"));
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

TEST_F(StagedFileTest, TemporaryFilesLeftByAnInterruptedRunAreRemovedFromTheWholeTree) {
    CreateDirectoryW(Path(L"sub").c_str(), nullptr);
    CreateDirectoryW(Path(L"sub\\deep").c_str(), nullptr);
    CreateDirectoryW(Path(L"x.part").c_str(), nullptr);  // a folder, whatever its name
    for (const wchar_t* name : {L"a.dat.part", L"sub\\b.dat.part", L"sub\\deep\\C.PART", L"keep.dat", L"partial",
                                L"sub\\keep.dat", L"x.part\\y.dat", L"busy.part"})
        Put(Path(name), "x");
    // Another launcher's download in progress: open and not shared for deletion.
    HANDLE busy = CreateFileW(Path(L"busy.part").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(busy, INVALID_HANDLE_VALUE);

    kavuno::launcher::RemoveStaleTemporaryFiles(dir_);
    CloseHandle(busy);

    for (const wchar_t* gone : {L"a.dat.part", L"sub\\b.dat.part", L"sub\\deep\\C.PART"})
        EXPECT_FALSE(Exists(Path(gone))) << gone;
    for (const wchar_t* kept : {L"keep.dat", L"partial", L"sub\\keep.dat", L"x.part", L"x.part\\y.dat", L"busy.part"})
        EXPECT_TRUE(Exists(Path(kept))) << kept;
}

}  // namespace
