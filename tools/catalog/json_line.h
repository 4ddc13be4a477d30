// A deliberately small JSON reader and writer for the tool's JSON Lines: each
// line is one flat object whose values are strings, whole numbers, true, false
// or null. Nested objects, arrays and fractions are refused with a clear
// message rather than half-supported.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kavuno::tool {

struct JsonValue {
    enum class Type { kString, kInteger, kTrue, kFalse, kNull };
    Type type = Type::kNull;
    std::string text;     // kString: the decoded UTF-8 text
    int64_t integer = 0;  // kInteger
};

// Keys in the order of the line; the reader refuses a key given twice.
using JsonObject = std::vector<std::pair<std::string, JsonValue>>;

struct JsonError {
    std::string message;
    size_t column = 0;  // 1-based byte column where the problem was found
};

// Reads one line. Returns the object, or nullopt with `error` filled in.
// Strings must be valid UTF-8; \uXXXX escapes (surrogate pairs included) are
// decoded to UTF-8, and a lone surrogate is refused.
std::optional<JsonObject> ParseJsonObjectLine(std::string_view line, JsonError& error);

// True for a line that holds nothing but blanks (skipped between records).
bool IsBlankLine(std::string_view line);

// Builds one line, keys in call order. Text is expected to be UTF-8 and is
// passed through except for the characters JSON requires to be escaped.
class JsonLineWriter {
public:
    void AddString(std::string_view key, std::string_view utf8);
    void AddInteger(std::string_view key, int64_t value);
    // The finished object, without a line end.
    std::string Finish() const { return line_ + "}"; }

private:
    void AddKey(std::string_view key);
    std::string line_ = "{";
};

// Appends `utf8` as a quoted JSON string.
void AppendJsonString(std::string_view utf8, std::string& out);

}  // namespace kavuno::tool
