// The update manifest "update.txt": the file count on line 1, then a name line
// and a size line per file. Window-free, so it is tested natively.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace kavuno::launcher {

// The number at the start of a line: leading white space, an optional sign,
// then decimal digits up to the first other character. No digits gives 0; a
// value beyond the int range saturates at its end rather than wrapping.
int ParseLeadingNumber(std::string_view line);

// Lines of 8-bit text. A line ends at a line feed; carriage returns are dropped
// wherever they stand. Past the end of the data every line is empty.
class ManifestLineReader {
public:
    explicit ManifestLineReader(std::string_view data) : data_(data) {}
    std::string NextLine();
    bool AtEnd() const { return pos_ >= data_.size(); }

private:
    std::string_view data_;
    size_t pos_ = 0;
};

struct ManifestEntry {
    std::string name;  // GBK, verbatim
    int size = 0;      // the progress bar's upper bound while it downloads
};

// The entries a manifest lists, in order. Lines after the last entry are not
// read. The count may promise more entries than the data holds; an entry whose
// name line lies past the end of the data is not listed (its name would be
// empty), so an absurd count cannot make the updater loop for ages.
std::vector<ManifestEntry> ReadManifest(std::string_view data);

}  // namespace kavuno::launcher
