#include "player/dialog_template.h"

#include <cstring>

namespace kavuno::player {
namespace {

constexpr uint32_t kSetFont = 0x40;    // DS_SETFONT
constexpr uint32_t kShellFont = 0x48;  // DS_SHELLFONT = DS_SETFONT | DS_FIXEDSYS

// Little-endian reads that fail instead of running past the end.
class Reader {
public:
    explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    bool Word(uint16_t& value) { return Read(&value, 2); }
    bool Dword(uint32_t& value) { return Read(&value, 4); }
    bool Short(int& value) {
        uint16_t raw;
        if (!Word(raw)) return false;
        value = static_cast<int16_t>(raw);
        return true;
    }
    bool Skip(size_t count) {
        if (bytes_.size() - pos_ < count) return false;
        pos_ += count;
        return true;
    }
    bool Bytes(std::string& out, size_t count) {
        if (bytes_.size() - pos_ < count) return false;
        out.assign(reinterpret_cast<const char*>(bytes_.data() + pos_), count);
        pos_ += count;
        return true;
    }
    // Items start on 32-bit boundaries from the start of the template.
    bool AlignDword() { return Skip((4 - pos_ % 4) % 4); }

    bool Text(std::u16string& text) {
        text.clear();
        for (;;) {
            uint16_t ch;
            if (!Word(ch)) return false;
            if (ch == 0) return true;
            text.push_back(static_cast<char16_t>(ch));
        }
    }
    bool Name(NameOrOrdinal& name) {
        uint16_t first;
        if (!Word(first)) return false;
        name = {};
        if (first == 0) return true;
        if (first == 0xFFFF) {
            uint16_t ordinal;
            if (!Word(ordinal)) return false;
            name.ordinal = ordinal;
            return true;
        }
        name.text.push_back(static_cast<char16_t>(first));
        std::u16string rest;
        if (!Text(rest)) return false;
        name.text += rest;
        return true;
    }
    bool Rect(UnitRect& rect) { return Short(rect.x) && Short(rect.y) && Short(rect.cx) && Short(rect.cy); }

private:
    bool Read(void* out, size_t count) {
        if (bytes_.size() - pos_ < count) return false;
        // Both build targets are little-endian, as the resource format is.
        std::memcpy(out, bytes_.data() + pos_, count);
        pos_ += count;
        return true;
    }

    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
};

bool ReadItem(Reader& in, bool extended, TemplateItem& item) {
    if (!in.AlignDword()) return false;
    uint16_t extra = 0;
    if (extended) {
        uint32_t helpId, id;
        if (!in.Dword(helpId) || !in.Dword(item.exStyle) || !in.Dword(item.style) || !in.Rect(item.rect) ||
            !in.Dword(id))
            return false;
        item.id = static_cast<int16_t>(id & 0xFFFF);
    } else {
        uint16_t id;
        if (!in.Dword(item.style) || !in.Dword(item.exStyle) || !in.Rect(item.rect) || !in.Word(id)) return false;
        item.id = static_cast<int16_t>(id);
    }
    return in.Name(item.windowClass) && in.Name(item.title) && in.Word(extra) && in.Skip(extra);
}

}  // namespace

std::optional<DialogTemplate> ParseDialogTemplate(std::span<const uint8_t> bytes) {
    Reader in(bytes);
    DialogTemplate dialog;
    uint16_t first, second;
    if (!in.Word(first) || !in.Word(second)) return std::nullopt;
    const bool extended = first == 1 && second == 0xFFFF;
    uint16_t count = 0;
    if (extended) {
        uint32_t helpId;
        if (!in.Dword(helpId) || !in.Dword(dialog.exStyle) || !in.Dword(dialog.style)) return std::nullopt;
    } else {
        dialog.style = first | static_cast<uint32_t>(second) << 16;
        if (!in.Dword(dialog.exStyle)) return std::nullopt;
    }
    NameOrOrdinal menu, windowClass;
    if (!in.Word(count) || !in.Rect(dialog.rect) || !in.Name(menu) || !in.Name(windowClass) || !in.Text(dialog.title))
        return std::nullopt;
    if ((dialog.style & kSetFont) == kSetFont || (dialog.style & kShellFont) == kShellFont) {
        if (!in.Word(dialog.pointSize)) return std::nullopt;
        if (extended && !in.Skip(4)) return std::nullopt;  // weight, italic, character set
        if (!in.Text(dialog.typeface)) return std::nullopt;
    }
    dialog.items.resize(count);
    for (TemplateItem& item : dialog.items) {
        if (!ReadItem(in, extended, item)) return std::nullopt;
    }
    return dialog;
}

namespace {

// Rounds a * numerator / denominator to the nearest integer, halves away from zero.
int Scale(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

}  // namespace

UnitRect ToReferencePixels(const UnitRect& units, uint16_t pointSize) {
    // A 9-point "宋体" is 6 x 12 pixels a character; other sizes in proportion, rounded.
    const int across = (6 * pointSize + 4) / 9;
    const int down = (12 * pointSize + 4) / 9;
    return {Scale(units.x, across, 4), Scale(units.y, down, 8), Scale(units.cx, across, 4), Scale(units.cy, down, 8)};
}

std::optional<std::vector<InitialDataEntry>> ParseInitialData(std::span<const uint8_t> bytes) {
    Reader in(bytes);
    std::vector<InitialDataEntry> entries;
    for (;;) {
        InitialDataEntry entry;
        if (!in.Word(entry.controlId)) return std::nullopt;
        if (entry.controlId == 0) return entries;
        uint32_t length;
        if (!in.Word(entry.message) || !in.Dword(length) || !in.Bytes(entry.bytes, length)) return std::nullopt;
        // Texts carry their terminator; the entry holds the text alone.
        if (const size_t end = entry.bytes.find('\0'); end != std::string::npos) entry.bytes.resize(end);
        entries.push_back(std::move(entry));
    }
}

}  // namespace kavuno::player
