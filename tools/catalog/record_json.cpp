#include "tools/catalog/record_json.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "common/gbk.h"

namespace kavuno::tool {
namespace {

using catalogue::RecordFields;

struct TextKey {
    const char* name;
    std::string RecordFields::*member;
};
struct IntKey {
    const char* name;
    std::int32_t RecordFields::*member;
};

// Member order, which is also the order of a dumped line.
const TextKey kTextKeys[] = {
    {"file", &RecordFields::file},     {"title", &RecordFields::title},   {"actor", &RecordFields::actor},
    {"parent", &RecordFields::parent}, {"server", &RecordFields::server}, {"kind", &RecordFields::kind},
    {"path", &RecordFields::path},     {"id", &RecordFields::id},
};
const IntKey kIntKeys[] = {
    {"playable", &RecordFields::playable},
    {"detail", &RecordFields::detail},
    {"player", &RecordFields::player},
    {"video", &RecordFields::video},
};
const char* const kIgnoredKeys[] = {"index", "stream", "details"};

const char* TypeName(JsonValue::Type type) {
    switch (type) {
    case JsonValue::Type::kString: return "a string";
    case JsonValue::Type::kInteger: return "a number";
    case JsonValue::Type::kTrue: return "true";
    case JsonValue::Type::kFalse: return "false";
    case JsonValue::Type::kNull: return "null";
    }
    return "something else";
}

// "U+XXXX" of the first character of `utf8` that GBK cannot hold.
std::string FirstNonGbkCharacter(const std::string& utf8) {
    size_t i = 0;
    while (i < utf8.size()) {
        unsigned char b = static_cast<unsigned char>(utf8[i]);
        size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : 4;
        std::string piece = utf8.substr(i, n), ignored;
        if (!gbk::FromUtf8(piece, ignored)) {
            char32_t c = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
            for (size_t k = 1; k < n && k < piece.size(); ++k) c = (c << 6) | (piece[k] & 0x3F);
            char buffer[16];
            std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(c));
            return buffer;
        }
        i += n;
    }
    return "a character";
}

bool SetText(const char* key, const JsonValue& value, std::string& into, std::string& error) {
    if (value.type != JsonValue::Type::kString) {
        error = std::string(key) + ": expected a string, got " + TypeName(value.type);
        return false;
    }
    std::string gbkText;
    if (!gbk::FromUtf8(value.text, gbkText)) {
        error = std::string(key) + ": " + FirstNonGbkCharacter(value.text) + " cannot be written in GBK";
        return false;
    }
    if (gbkText.find('\0') != std::string::npos) {
        error = std::string(key) + ": U+0000 is not allowed in a text";
        return false;
    }
    if (gbkText.find('\x0C') != std::string::npos) {
        error = std::string(key) + ": U+000C cannot be stored (its stored byte is 0, which ends the text)";
        return false;
    }
    into = std::move(gbkText);
    return true;
}

bool SetInt(const char* key, const JsonValue& value, std::int32_t& into, std::string& error) {
    if (value.type != JsonValue::Type::kInteger) {
        error = std::string(key) + ": expected a whole number, got " + TypeName(value.type);
        return false;
    }
    if (value.integer < std::numeric_limits<std::int32_t>::min() ||
        value.integer > std::numeric_limits<std::int32_t>::max()) {
        error = std::string(key) + ": " + std::to_string(value.integer) + " does not fit in 32 bits";
        return false;
    }
    into = static_cast<std::int32_t>(value.integer);
    return true;
}

bool SetField(const std::string& key, const JsonValue& value, RecordFields& fields, std::string& error) {
    for (const auto& k : kTextKeys) {
        if (key == k.name) return SetText(k.name, value, fields.*k.member, error);
    }
    for (const auto& k : kIntKeys) {
        if (key == k.name) return SetInt(k.name, value, fields.*k.member, error);
    }
    for (const char* ignored : kIgnoredKeys) {
        if (key == ignored) return true;
    }
    error = "unknown key \"" + key + "\"";
    return false;
}

// UTF-8 of a GBK text; `exact` turns false when it does not convert back to
// the same bytes. Plain ASCII, most of any catalogue, needs no check.
std::string ExactUtf8(const std::string& gbkText, bool& exact) {
    std::string utf8 = gbk::ToUtf8(gbkText);
    bool ascii = std::all_of(gbkText.begin(), gbkText.end(), [](char c) { return (c & 0x80) == 0; });
    std::string back;
    if (!ascii && !(gbk::FromUtf8(utf8, back) && back == gbkText)) exact = false;
    return utf8;
}

}  // namespace

std::string RecordToJsonLine(const catalogue::MovieRecord& record, std::size_t index, bool& exact) {
    RecordFields fields = record.Fields();
    JsonLineWriter line;
    line.AddInteger("index", static_cast<int64_t>(index));
    for (const auto& k : kTextKeys) line.AddString(k.name, ExactUtf8(fields.*k.member, exact));
    for (const auto& k : kIntKeys) line.AddInteger(k.name, fields.*k.member);
    line.AddString("stream", gbk::ToUtf8(record.GetStreamAddress()));
    line.AddString("details", gbk::ToUtf8(record.GetDetailsAddress()));
    return line.Finish();
}

bool RecordFieldsFromJson(const JsonObject& object, RecordFields& fields, std::string& error) {
    RecordFields result;
    for (const auto& [key, value] : object) {
        if (!SetField(key, value, result, error)) return false;
    }
    fields = std::move(result);
    return true;
}

}  // namespace kavuno::tool
