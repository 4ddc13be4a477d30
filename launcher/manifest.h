// The update manifest "update.txt": the file count on line 1, then a name line
// and a size line per file. It is read as the update goes, straight from its
// source, so a manifest of any length costs only the read-ahead buffer.
// Window-free, so it is tested natively.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "launcher/byte_source.h"

namespace kavuno::launcher {

// The number at the start of a line: leading white space, an optional sign,
// then decimal digits up to the first other character. No digits gives 0; a
// value beyond the int range, however many digits it has, saturates at its end
// rather than wrapping.
int ParseLeadingNumber(std::string_view line);

// Lines of 8-bit text read from a source through a read-ahead buffer. A line
// ends at a line feed; carriage returns are dropped wherever they stand. Past
// the end of the data every line is empty. A read error, or data that ends
// short of what the source announced, ends the lines too and sets Failed().
class ManifestLineReader {
public:
    static constexpr size_t kReadAhead = 4096;
    // Bytes kept of one line; the rest of a longer line is skipped. No file
    // name is that long, and a number needs only its first digits.
    static constexpr size_t kMaxLineLength = 64 * 1024;

    explicit ManifestLineReader(ByteSource& source) : source_(source) {}
    ManifestLineReader(const ManifestLineReader&) = delete;
    ManifestLineReader& operator=(const ManifestLineReader&) = delete;

    // Bytes read from the source before the reader gives up on it as
    // oversized: a hostile server cannot feed it for ever.
    static constexpr uint64_t kMaxManifestSize = 1u << 20;

    std::string NextLine();
    // No byte left (reads ahead to find out).
    bool AtEnd();
    bool Failed() const { return failed_; }
    bool Oversized() const { return oversized_; }

private:
    bool Fill();

    ByteSource& source_;
    char buffer_[kReadAhead];
    size_t pos_ = 0;
    size_t size_ = 0;
    uint64_t received_ = 0;
    bool ended_ = false;
    bool failed_ = false;
    bool oversized_ = false;
};

struct ManifestEntry {
    std::string name;  // GBK, verbatim
    int size = 0;      // the progress bar's upper bound while it downloads
};

// The entries of a manifest, one at a time, in order; the count is read from
// line 1 when the first entry is asked for. Lines after the last entry are
// never read. The count may promise more entries than the data holds; an entry
// whose name line lies past the end of the data is not listed (its name would
// be empty), so an absurd count cannot make the updater loop for ages; and
// neither a count nor the bytes read may pass the limits below.
class ManifestReader {
public:
    // A count above this makes the whole manifest oversized.
    static constexpr int kMaxEntries = 10000;

    explicit ManifestReader(ByteSource& source) : lines_(source) {}

    // The next entry, or nothing when there is none or a read failed.
    std::optional<ManifestEntry> NextEntry();
    // A read failed, or the manifest is oversized.
    bool Failed() const { return lines_.Failed() || oversized_; }
    // More than kMaxEntries entries promised, or more than kMaxManifestSize bytes read.
    bool Oversized() const { return oversized_ || lines_.Oversized(); }
    // The count on line 1 (0 before the first entry was asked for).
    int Promised() const { return count_.value_or(0); }

private:
    ManifestLineReader lines_;
    std::optional<int> count_;
    int read_ = 0;
    bool oversized_ = false;
};

}  // namespace kavuno::launcher
