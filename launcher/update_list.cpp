#include "launcher/update_list.h"

#include <algorithm>

namespace kavuno::launcher {
namespace {

constexpr std::string_view kSerial = "serial ";
constexpr std::string_view kExpires = "expires ";
constexpr std::string_view kTarget = "target ";
constexpr std::string_view kFile = "file ";
constexpr std::string_view kSignature = "signature ";

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;  // upper case too: one spelling per list
}

template <size_t N>
bool ParseHex(std::string_view text, std::array<uint8_t, N>& out) {
    if (text.size() != 2 * N) return false;
    for (size_t i = 0; i < N; ++i) {
        int high = HexValue(text[2 * i]);
        int low = HexValue(text[2 * i + 1]);
        if (high < 0 || low < 0) return false;
        out[i] = static_cast<uint8_t>(high * 16 + low);
    }
    return true;
}

// Decimal digits only, no leading zero, within 64 bits.
bool ParseNumber(std::string_view text, uint64_t& value) {
    if (text.empty() || text.size() > 20 || (text.size() > 1 && text[0] == '0')) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        uint64_t digit = static_cast<uint64_t>(c - '0');
        if (value > (UINT64_MAX - digit) / 10) return false;
        value = value * 10 + digit;
    }
    return true;
}

// A name as a manifest line can hold it: no control bytes (a manifest line
// drops carriage returns and ends at a line feed).
bool IsListableName(std::string_view name) {
    return !name.empty() &&
           std::none_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

// "file SIZE HASH NAME" after its keyword.
bool ParseFileLine(std::string_view rest, ListedFile& file) {
    size_t space = rest.find(' ');
    if (space == std::string_view::npos || !ParseNumber(rest.substr(0, space), file.size)) return false;
    rest.remove_prefix(space + 1);
    if (rest.size() < 2 * file.sha256.size() + 1 || rest[2 * file.sha256.size()] != ' ' ||
        !ParseHex(rest.substr(0, 2 * file.sha256.size()), file.sha256))
        return false;
    file.name = std::string(rest.substr(2 * file.sha256.size() + 1));
    return IsListableName(file.name);
}

// A "KEYWORD NUMBER" line.
bool ParseNumberLine(std::string_view line, std::string_view keyword, uint64_t& value) {
    return line.starts_with(keyword) && ParseNumber(line.substr(keyword.size()), value);
}

}  // namespace

bool IsKnownTarget(std::string_view target) { return target == "win32" || target == "win64"; }

const ListedFile* UpdateList::Find(std::string_view name) const {
    auto at = std::lower_bound(byName_.begin(), byName_.end(), name,
                               [this](size_t i, std::string_view n) { return files[i].name < n; });
    return at != byName_.end() && files[*at].name == name ? &files[*at] : nullptr;
}

std::optional<SignedUpdateList> ParseUpdateList(std::string_view text, std::string& error) {
    if (text.size() > kMaxUpdateListSize) {
        error = "the list is larger than " + std::to_string(kMaxUpdateListSize) + " bytes";
        return std::nullopt;
    }
    SignedUpdateList result;
    size_t pos = 0;
    int lineNumber = 0;
    bool signedDone = false;
    auto fail = [&](const std::string& what) {
        error = "line " + std::to_string(lineNumber) + ": " + what;
        return std::nullopt;
    };
    while (pos < text.size()) {
        ++lineNumber;
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) return fail("the line does not end with a line feed");
        std::string_view line = text.substr(pos, end - pos);
        size_t start = pos;
        pos = end + 1;
        if (signedDone) return fail("nothing may follow the signature");
        if (lineNumber == 1) {
            // A list of format 1 has no expiry: a launcher that took it could be held on it for ever.
            if (line == "kavuno-update-list 1") return fail("a list of the older format 1, without expiry or target");
            if (line != kUpdateListTag)
                return fail("not a list of this format (\"" + std::string(kUpdateListTag) + "\")");
        } else if (lineNumber == 2) {
            if (!ParseNumberLine(line, kSerial, result.list.serial)) return fail("a serial number was expected");
        } else if (lineNumber == 3) {
            if (!ParseNumberLine(line, kExpires, result.list.expires)) return fail("the expiry time was expected");
        } else if (lineNumber == 4) {
            if (!line.starts_with(kTarget) || !IsKnownTarget(line.substr(kTarget.size())))
                return fail("the target, win32 or win64, was expected");
            result.list.target = std::string(line.substr(kTarget.size()));
        } else if (line.starts_with(kFile)) {
            ListedFile file;
            if (!ParseFileLine(line.substr(kFile.size()), file)) return fail("a damaged file line");
            result.list.files.push_back(std::move(file));
        } else if (line.starts_with(kSignature)) {
            if (!ParseHex(line.substr(kSignature.size()), result.signature)) return fail("a damaged signature");
            result.signedLength = start;
            signedDone = true;
        } else {
            return fail("a file line or the signature was expected");
        }
    }
    if (!signedDone) {
        lineNumber = std::max(lineNumber, 1);
        return fail("the list ends without a signature");
    }
    std::vector<size_t>& index = result.list.byName_;
    index.resize(result.list.files.size());
    for (size_t i = 0; i < index.size(); ++i) index[i] = i;
    const auto& files = result.list.files;
    std::sort(index.begin(), index.end(), [&](size_t a, size_t b) { return files[a].name < files[b].name; });
    for (size_t i = 1; i < index.size(); ++i)
        if (files[index[i]].name == files[index[i - 1]].name) {
            error = "a name is listed twice: " + files[index[i]].name;
            return std::nullopt;
        }
    return result;
}

std::string ToHex(const uint8_t* bytes, size_t size) {
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(2 * size);
    for (size_t i = 0; i < size; ++i) {
        hex.push_back(kDigits[bytes[i] >> 4]);
        hex.push_back(kDigits[bytes[i] & 15]);
    }
    return hex;
}

std::string FormatUpdateListBody(uint64_t serial, uint64_t expires, std::string_view target,
                                 const std::vector<ListedFile>& files) {
    std::string text;
    text.append(kUpdateListTag).append("\n");
    text.append(kSerial).append(std::to_string(serial)).append("\n");
    text.append(kExpires).append(std::to_string(expires)).append("\n");
    text.append(kTarget).append(target).append("\n");
    for (const ListedFile& file : files) {
        text.append(kFile).append(std::to_string(file.size)).append(" ");
        text.append(ToHex(file.sha256.data(), file.sha256.size())).append(" ").append(file.name).append("\n");
    }
    return text;
}

std::string FormatSignatureLine(const EcdsaSignature& signature) {
    return std::string(kSignature) + ToHex(signature.data(), signature.size()) + "\n";
}

}  // namespace kavuno::launcher
