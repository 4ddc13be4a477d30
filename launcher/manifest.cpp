#include "manifest.h"

#include <climits>

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
    // Accumulate towards the sign's end of the range so INT_MIN is reachable.
    long long value = 0;
    for (; i < line.size() && IsDigit(line[i]); ++i) {
        value = value * 10 + (line[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) break;
    }
    if (negative) return value > static_cast<long long>(INT_MAX) ? INT_MIN : static_cast<int>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

std::string ManifestLineReader::NextLine() {
    std::string line;
    while (pos_ < data_.size()) {
        char c = data_[pos_++];
        if (c == '\n') break;
        if (c != '\r') line.push_back(c);
    }
    return line;
}

std::vector<ManifestEntry> ReadManifest(std::string_view data) {
    ManifestLineReader reader(data);
    int count = ParseLeadingNumber(reader.NextLine());
    std::vector<ManifestEntry> entries;
    for (int i = 1; i <= count && !reader.AtEnd(); ++i) {
        ManifestEntry entry;
        entry.name = reader.NextLine();  // the name line comes before the size line
        entry.size = ParseLeadingNumber(reader.NextLine());
        entries.push_back(std::move(entry));
    }
    return entries;
}

}  // namespace kavuno::launcher
