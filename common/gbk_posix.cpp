// GBK conversions on POSIX systems, through iconv's CP936 table.
#include "common/gbk.h"

#include "common/utf8.h"

#include <iconv.h>

#include <stdexcept>
#include <vector>

namespace kavuno::gbk {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts the longest valid prefix of [in, in+len). Returns the number of
    // input bytes consumed and appends the output.
    size_t Convert(const char* in, size_t len, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char buffer[1024];
        char* src = const_cast<char*>(in);
        size_t left = len;
        while (left > 0) {
            char* dst = buffer;
            size_t room = sizeof buffer;
            size_t r = iconv(cd_, &src, &left, &dst, &room);
            out.append(buffer, static_cast<size_t>(dst - buffer));
            if (r == static_cast<size_t>(-1) && errno != E2BIG) break;
        }
        return len - left;
    }

private:
    iconv_t cd_;
};

// Decodes one UTF-8 sequence at s[i]; false for a malformed one.
bool NextUtf8(std::string_view s, size_t& i, char32_t& c) {
    size_t n = utf8::Decode(s, i, c);
    i += n;
    return n != 0;
}

std::u16string Utf8ToUtf16(std::string_view s) {
    std::u16string out;
    size_t i = 0;
    while (i < s.size()) {
        char32_t c;
        if (!NextUtf8(s, i, c)) {
            out += u'\xFFFD';
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

// Encodes one code point into GBK; false when GBK has no such character.
bool EncodeOne(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
        return true;
    }
    static thread_local Converter encoder("CP936", "UTF-8");
    std::string encoded;
    utf8::Append(c, encoded);
    std::string bytes;
    if (encoder.Convert(encoded.data(), encoded.size(), bytes) != encoded.size()) return false;
    out += bytes;
    return true;
}

}  // namespace

std::string ToUtf8(std::string_view gbk) {
    static thread_local Converter decoder("UTF-8", "CP936");
    std::string out;
    out.reserve(gbk.size() * 3 / 2);
    size_t i = 0;
    while (i < gbk.size()) {
        i += decoder.Convert(gbk.data() + i, gbk.size() - i, out);
        if (i < gbk.size()) {  // a byte that starts no GBK character
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return out;
}

std::u16string ToUtf16(std::string_view gbk) { return Utf8ToUtf16(ToUtf8(gbk)); }

std::string FromUtf16Lenient(std::u16string_view text) {
    // Unit by unit, as Windows does for code page 936: each half of a
    // surrogate pair has no GBK mapping and becomes its own '?'.
    std::string out;
    for (char16_t unit : text) {
        if ((unit >= 0xD800 && unit <= 0xDFFF) || !EncodeOne(unit, out)) out += '?';
    }
    return out;
}

bool FromUtf8(std::string_view utf8, std::string& out) {
    std::string result;
    result.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        char32_t c;
        if (!NextUtf8(utf8, i, c) || !EncodeOne(c, result)) return false;
    }
    out = std::move(result);
    return true;
}

}  // namespace kavuno::gbk
