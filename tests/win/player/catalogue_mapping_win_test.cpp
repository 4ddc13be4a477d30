// movie.dat under Windows: mapped and read in place, kept from writers while
// the records point into it, and read through a buffer when it cannot be
// mapped (here: another program holds it open for writing).
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/ownership.h"
#include "player/catalogue/catalogue_file.h"

namespace kavuno::catalogue {
namespace {

std::vector<MovieRecord> Sample() {
    std::vector<MovieRecord> records;
    for (const char* title : {"zero", "\xCC\xEC\xCF\xC2", "last"}) {
        RecordFields f;
        f.title = title;
        f.kind = "K";
        records.emplace_back(f);
    }
    return records;
}

win::OwnedHandle OpenForWriting(const std::filesystem::path& path) {
    return win::OwnedHandle(CreateFileW(path.c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
}

TEST(CatalogueMapping, ReadInPlaceAndKeptFromWritersWhileLoaded) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("kavuno-mapping-test-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(dir);
    const std::filesystem::path path = dir / "movie.dat";
    std::string error;
    ASSERT_TRUE(SaveCatalogue(path, Sample(), error)) << error;

    RecordArray records, second;
    ASSERT_TRUE(LoadCatalogue(path, records).ok());
    ASSERT_TRUE(LoadCatalogue(path, second).ok());  // a second player reads it too
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1].title(), "\xCC\xEC\xCF\xC2");
    EXPECT_EQ(second[2].kind(), "K");
    EXPECT_EQ(records.text_bytes(), 0u);  // nothing copied
    // While mapped, nobody writes, replaces or deletes it.
    EXPECT_EQ(OpenForWriting(path).get(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(DeleteFileW(path.c_str()));
    EXPECT_FALSE(SaveCatalogue(path, {}, error));
    EXPECT_EQ(records[2].title(), "last");
    records.clear();
    second.clear();

    // Held open for writing elsewhere, it cannot be mapped; it is read through a buffer.
    win::OwnedHandle writer = OpenForWriting(path);
    ASSERT_NE(writer.get(), INVALID_HANDLE_VALUE);
    RecordArray buffered;
    ASSERT_TRUE(LoadCatalogue(path, buffered).ok());
    EXPECT_EQ(buffered.size(), 3u);
    EXPECT_EQ(buffered[1].title(), "\xCC\xEC\xCF\xC2");
    EXPECT_GT(buffered.text_bytes(), 0u);
    writer.Reset();
    EXPECT_TRUE(DeleteFileW(path.c_str()));
    EXPECT_EQ(LoadCatalogue(path, buffered).status, LoadResult::Status::CannotOpen);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace kavuno::catalogue
