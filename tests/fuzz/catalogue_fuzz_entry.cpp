// Fuzz entry of the catalogue reader: any bytes, read as movie.dat (from
// memory, records in place, and through a file with a tiny buffer, records
// copied) and as root.dat, must load without crashing, agree between the two
// readers, keep every record's plain members derived from its stored ones
// (and the tests on stored bytes in step with them), write back to a file that
// reads the same, and give list rows that only ever name records 1 to count - 1;
// read as the watch history, they are a history only if it writes them back.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "player/catalogue/catalogue_file.h"
#include "player/catalogue/category_tree.h"
#include "player/catalogue/gbk_search.h"
#include "player/catalogue/list_rows.h"
#include "player/history/watch_history.h"
#include "player/history/watched_rows.h"

namespace {

using namespace kavuno::catalogue;

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "catalogue fuzz check failed: %s\n", what);
        std::abort();
    }
}

void CheckRows(const std::vector<std::size_t>& rows, const RecordArray& records) {
    for (std::size_t k = 0; k < rows.size(); ++k) {
        Check(rows[k] >= 1 && rows[k] < records.size(), "row outside 1..count-1");
        Check(k == 0 || rows[k - 1] > rows[k], "rows not in reverse file order");
    }
}

void CheckRecords(const RecordArray& records) {
    for (std::size_t i = 0; i < records.size(); ++i) {
        const MovieRecord& r = records[i];
        for (std::size_t f = 0; f < kTextFieldCount; ++f) {
            const auto field = static_cast<TextField>(f);
            Check(r.Text(field) == UnscrambleText(r.StoredText(field)), "plain text not derived from stored");
        }
        for (std::size_t f = 0; f < kIntFieldCount; ++f)
            Check(r.Int(static_cast<IntField>(f)) == r.StoredInt(static_cast<IntField>(f)), "plain int differs");
        // The list's tests on stored bytes agree with the plain texts.
        const std::string parent = r.parent();
        Check(r.PlainTextEmpty(TextField::Parent) == parent.empty(), "stored emptiness test differs");
        Check(r.PlainTextEquals(TextField::Kind, ScrambleText(r.kind())), "stored equality misses its own text");
        Check(!r.PlainTextEquals(TextField::Kind, ScrambleText(r.kind() + "x")), "stored equality too loose");
        if (!parent.empty())
            Check(GbkFindStored(PlainPartOfStored(r.StoredView(TextField::Parent)), ScrambleText(parent.substr(1))) ==
                      GbkFind(parent, parent.substr(1)),
                  "stored search differs from the plain one");
    }
}

// What a reload must reproduce: every stored member of every record.
std::string StoredImage(const RecordArray& records) {
    std::string image;
    for (std::size_t i = 0; i < records.size(); ++i) {
        for (std::size_t f = 0; f < kTextFieldCount; ++f) {
            const std::string text = records[i].StoredText(static_cast<TextField>(f));
            image += std::to_string(text.size()) + ":" + text;
        }
        for (std::size_t f = 0; f < kIntFieldCount; ++f)
            image += std::to_string(records[i].StoredInt(static_cast<IntField>(f))) + ";";
    }
    return image;
}

void ThroughSmallFileBuffer(std::string_view bytes, const RecordArray& fromMemory, const LoadResult& memoryResult) {
    std::string copy(bytes);
    std::FILE* file = fmemopen(copy.empty() ? nullptr : copy.data(), copy.size(), "rb");
    if (file == nullptr) return;  // fmemopen refuses an empty buffer on some systems
    ArchiveReader ar(file, copy.size(), 7);
    RecordArray records;
    std::uint64_t offset = 0;
    bool damaged = false;
    try {
        ReadCatalogue(ar, records);
    } catch (const ArchiveError& e) {
        damaged = true;
        offset = e.offset();
    }
    std::fclose(file);
    Check(damaged == !memoryResult.ok(), "file and memory readers disagree on damage");
    Check(!damaged || offset == memoryResult.offset, "file and memory readers disagree on the offset");
    Check(StoredImage(records) == StoredImage(fromMemory), "file and memory readers disagree on records");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    RecordArray records;
    const LoadResult result = LoadCatalogueFromBytes(bytes, records);
    Check(result.offset <= size, "error offset beyond the data");
    Check(result.appended == records.size(), "appended count wrong");
    Check(result.ok() || result.status == LoadResult::Status::Damaged, "impossible status");
    CheckRecords(records);
    ThroughSmallFileBuffer(bytes, records, result);

    RecordArray reloaded;
    Check(LoadCatalogueFromBytes(CatalogueBytes(records), reloaded).ok(), "written catalogue does not load");
    Check(StoredImage(reloaded) == StoredImage(records), "written catalogue reads differently");

    const auto recent = RecentRows(records);
    Check(recent.size() <= kRecentRowLimit, "too many recent rows");
    CheckRows(recent, records);
    if (records.size() > 1) {
        const MovieRecord& first = records[1];
        const auto category = CategoryRows(records, first.kind(), first.parent());
        CheckRows(category, records);
        Check(!category.empty() && category.back() == 1, "record 1 missing from its own category");
        if (!first.title().empty()) {
            const auto found = SearchRows(records, first.title(), SearchField::Title);
            CheckRows(found, records);
            Check(!found.empty() && found.back() == 1, "record 1 not found by its own title");
        }
        CheckRows(SearchRows(records, first.actor(), SearchField::Actor), records);
    }

    // The same bytes as the watch history: a history that reads writes back
    // the same, and lists only records of the catalogue, never more than 50.
    if (const auto history = kavuno::history::WatchHistory::Parse(bytes)) {
        Check(history->Serialize() == bytes, "a history reads differently from how it was written");
        Check(history->movies().size() <= kavuno::history::WatchHistory::kMaxMovies, "too many movies");
        const auto watched = kavuno::history::WatchedRows(*history, records);
        Check(watched.size() <= kavuno::history::kWatchedRows, "too many watched rows");
        for (const std::size_t row : watched) Check(row >= 1 && row < records.size(), "watched row outside 1..count-1");
    }

    const CategoryTree tree = BuildCategoryTree(SplitLines(bytes));
    Check(tree.size() >= 1 && tree[0].text == kRecentCategory, "tree does not start with the recent node");
    for (std::size_t i = 0; i < tree.size(); ++i)
        Check(tree[i].parent == CategoryNode::kNoParent || tree[i].parent < i, "tree parent after its child");
    return 0;
}
