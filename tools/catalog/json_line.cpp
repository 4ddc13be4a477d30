#include "tools/catalog/json_line.h"

#include "common/utf8.h"

#include <cstdio>
#include <limits>

namespace kavuno::tool {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

class Parser {
public:
    Parser(std::string_view text, JsonError& error) : s_(text), error_(error) {}

    std::optional<JsonObject> Object() {
        SkipBlanks();
        if (!Expect('{', "expected '{' at the start of the object")) return std::nullopt;
        JsonObject object;
        SkipBlanks();
        if (Peek() == '}') {
            ++pos_;
        } else {
            for (;;) {
                SkipBlanks();
                if (Peek() != '"') return Refuse("expected a key in double quotes");
                size_t keyColumn = pos_;
                std::string key;
                if (!String(key)) return std::nullopt;
                for (const auto& entry : object) {
                    if (entry.first == key) {
                        pos_ = keyColumn;
                        return Refuse("key \"" + key + "\" is given twice");
                    }
                }
                SkipBlanks();
                if (!Expect(':', "expected ':' after a key")) return std::nullopt;
                SkipBlanks();
                JsonValue value;
                if (!Value(value)) return std::nullopt;
                object.emplace_back(std::move(key), std::move(value));
                SkipBlanks();
                if (Peek() == ',') {
                    ++pos_;
                    continue;
                }
                if (!Expect('}', "expected ',' or '}'")) return std::nullopt;
                break;
            }
        }
        SkipBlanks();
        if (pos_ != s_.size()) return Refuse("unexpected text after the object");
        return object;
    }

private:
    char Peek() const { return pos_ < s_.size() ? s_[pos_] : '\0'; }
    bool AtEnd() const { return pos_ >= s_.size(); }
    void SkipBlanks() {
        while (!AtEnd() && IsBlank(s_[pos_])) ++pos_;
    }

    bool Fail(std::string message) {
        error_.message = std::move(message);
        error_.column = pos_ + 1;
        return false;
    }
    std::nullopt_t Refuse(std::string message) {
        Fail(std::move(message));
        return std::nullopt;
    }
    bool Expect(char c, const char* message) {
        if (Peek() == c && !AtEnd()) {
            ++pos_;
            return true;
        }
        return Fail(AtEnd() ? std::string(message) + ", found the end of the line" : message);
    }
    bool Word(std::string_view word) {
        if (s_.substr(pos_, word.size()) != word) return false;
        pos_ += word.size();
        return true;
    }

    bool Value(JsonValue& value) {
        char c = Peek();
        if (c == '"') {
            value.type = JsonValue::Type::kString;
            return String(value.text);
        }
        if (c == '-' || (c >= '0' && c <= '9')) return Integer(value);
        if (Word("true")) {
            value.type = JsonValue::Type::kTrue;
            return true;
        }
        if (Word("false")) {
            value.type = JsonValue::Type::kFalse;
            return true;
        }
        if (Word("null")) {
            value.type = JsonValue::Type::kNull;
            return true;
        }
        if (c == '{' || c == '[') return Fail("nested objects and arrays are not supported");
        return Fail(AtEnd() ? "expected a value, found the end of the line" : "expected a value");
    }

    bool Integer(JsonValue& value) {
        size_t start = pos_;
        bool negative = Peek() == '-';
        if (negative) ++pos_;
        if (!(Peek() >= '0' && Peek() <= '9') || AtEnd()) return Fail("expected a digit");
        if (Peek() == '0' && pos_ + 1 < s_.size() && s_[pos_ + 1] >= '0' && s_[pos_ + 1] <= '9')
            return Fail("a number must not begin with 0");
        // Accumulate negatively so that the most negative value fits too.
        int64_t magnitude = 0;
        const int64_t limit = std::numeric_limits<int64_t>::min();
        bool tooLarge = false;
        while (!AtEnd() && Peek() >= '0' && Peek() <= '9') {
            int digit = Peek() - '0';
            if (magnitude < (limit + digit) / 10)
                tooLarge = true;
            else
                magnitude = magnitude * 10 - digit;
            ++pos_;
        }
        if (Peek() == '.' || Peek() == 'e' || Peek() == 'E') {
            pos_ = start;
            return Fail("only whole numbers are supported");
        }
        if (tooLarge || (!negative && magnitude == limit)) {
            pos_ = start;
            return Fail("number out of range");
        }
        value.type = JsonValue::Type::kInteger;
        value.integer = negative ? magnitude : -magnitude;
        return true;
    }

    bool Hex4(char32_t& unit) {
        if (pos_ + 4 > s_.size()) return Fail("\\u needs four hex digits");
        unit = 0;
        for (int k = 0; k < 4; ++k) {
            char h = s_[pos_++];
            int v = h >= '0' && h <= '9'   ? h - '0'
                    : h >= 'a' && h <= 'f' ? h - 'a' + 10
                    : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                           : -1;
            if (v < 0) {
                --pos_;
                return Fail("\\u needs four hex digits");
            }
            unit = unit * 16 + static_cast<char32_t>(v);
        }
        return true;
    }

    bool Escape(std::string& out) {
        size_t start = pos_ - 1;  // at the backslash
        if (AtEnd()) return Fail("unfinished escape");
        char c = s_[pos_++];
        switch (c) {
        case '"': out += '"'; return true;
        case '\\': out += '\\'; return true;
        case '/': out += '/'; return true;
        case 'b': out += '\b'; return true;
        case 'f': out += '\f'; return true;
        case 'n': out += '\n'; return true;
        case 'r': out += '\r'; return true;
        case 't': out += '\t'; return true;
        case 'u': break;
        default: pos_ = start; return Fail("unknown escape");
        }
        char32_t unit;
        if (!Hex4(unit)) return false;
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            pos_ = start;
            return Fail("lone low surrogate in \\u escape");
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            char32_t low = 0;
            if (!(Word("\\u") && Hex4(low) && low >= 0xDC00 && low <= 0xDFFF)) {
                pos_ = start;
                return Fail("high surrogate in \\u escape without its low half");
            }
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        }
        utf8::Append(unit, out);
        return true;
    }

    bool String(std::string& out) {
        ++pos_;  // the opening quote
        for (;;) {
            if (AtEnd()) return Fail("unterminated string");
            unsigned char c = static_cast<unsigned char>(s_[pos_]);
            if (c == '"') {
                ++pos_;
                return true;
            }
            if (c == '\\') {
                ++pos_;
                if (!Escape(out)) return false;
            } else if (c < 0x20) {
                return Fail("control character in a string (escape it)");
            } else {
                char32_t ignored;
                size_t n = utf8::Decode(s_, pos_, ignored);
                if (n == 0) return Fail("invalid UTF-8");
                out.append(s_.substr(pos_, n));
                pos_ += n;
            }
        }
    }

    std::string_view s_;
    JsonError& error_;
    size_t pos_ = 0;
};

}  // namespace

std::optional<JsonObject> ParseJsonObjectLine(std::string_view line, JsonError& error) {
    return Parser(line, error).Object();
}

bool IsBlankLine(std::string_view line) {
    for (char c : line) {
        if (!IsBlank(c)) return false;
    }
    return true;
}

void AppendJsonString(std::string_view utf8, std::string& out) {
    out += '"';
    for (char ch : utf8) {
        unsigned char c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        default:
            if (c < 0x20) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                out += buffer;
            } else {
                out += ch;
            }
        }
    }
    out += '"';
}

void JsonLineWriter::AddKey(std::string_view key) {
    if (line_.size() > 1) line_ += ',';
    AppendJsonString(key, line_);
    line_ += ':';
}

void JsonLineWriter::AddString(std::string_view key, std::string_view utf8) {
    AddKey(key);
    AppendJsonString(utf8, line_);
}

void JsonLineWriter::AddInteger(std::string_view key, int64_t value) {
    AddKey(key);
    line_ += std::to_string(value);
}

}  // namespace kavuno::tool
