#include "launcher/manifest.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace kavuno::launcher {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int ParseLeadingNumber(std::string_view line) {
    size_t i = 0;
    while (i < line.size() && IsSpace(line[i])) ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) negative = line[i++] == '-';
    // Accumulate towards the sign's end of the range so INT_MIN is reachable;
    // once past it, further digits only keep it saturated.
    long long value = 0;
    for (; i < line.size() && IsDigit(line[i]); ++i) {
        value = value * 10 + (line[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) break;
    }
    if (negative) return value > static_cast<long long>(INT_MAX) ? INT_MIN : static_cast<int>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

bool ManifestLineReader::Fill() {
    if (pos_ < size_) return true;
    if (ended_) return false;
    pos_ = size_ = 0;
    size_t read = 0;
    if (!source_.Read(buffer_, sizeof buffer_, read)) {
        failed_ = ended_ = true;
        return false;
    }
    if (read == 0) {
        ended_ = true;
        if (!IsComplete(source_, received_)) failed_ = true;
        return false;
    }
    size_ = std::min(read, sizeof buffer_);
    received_ += size_;
    if (received_ > kMaxManifestSize) {
        oversized_ = failed_ = ended_ = true;
        size_ = 0;
        return false;
    }
    return true;
}

bool ManifestLineReader::AtEnd() { return !Fill(); }

std::string ManifestLineReader::NextLine() {
    std::string line;
    while (Fill()) {
        const char* start = buffer_ + pos_;
        const char* feed = static_cast<const char*>(std::memchr(start, '\n', size_ - pos_));
        size_t length = feed ? static_cast<size_t>(feed - start) : size_ - pos_;
        for (size_t i = 0; i < length && line.size() < kMaxLineLength; ++i)
            if (start[i] != '\r') line.push_back(start[i]);
        pos_ += length;
        if (feed) {
            ++pos_;
            break;
        }
    }
    // A line cut off by a failed read is no line at all.
    if (failed_) line.clear();
    return line;
}

std::optional<ManifestEntry> ManifestReader::NextEntry() {
    if (!count_) {
        count_ = ParseLeadingNumber(lines_.NextLine());
        oversized_ = *count_ > kMaxEntries;
    }
    if (oversized_ || read_ >= *count_ || lines_.AtEnd()) return std::nullopt;
    ++read_;
    ManifestEntry entry;
    entry.name = lines_.NextLine();  // the name line comes before the size line
    entry.size = ParseLeadingNumber(lines_.NextLine());
    if (lines_.Failed()) return std::nullopt;
    return entry;
}

}  // namespace kavuno::launcher
