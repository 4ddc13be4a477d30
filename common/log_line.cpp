#include "common/log_line.h"

#include <algorithm>
#include <cstdio>

#include "common/utf8.h"

namespace kavuno::logfile {

std::string_view KindText(Kind kind) {
    switch (kind) {
    case Kind::Start: return "start";
    case Kind::Failure: return "failure";
    case Kind::Crash: return "crash";
    case Kind::Update: return "update";
    case Kind::Catalogue: return "catalogue";
    case Kind::History: return "history";
    case Kind::Play: return "play";
    case Kind::Stop: return "stop";
    case Kind::Refused: return "refused";
    case Kind::Outside: return "outside";
    }
    return "?";  // not a Kind: a value cast from elsewhere
}

std::string SafeText(std::string_view text, std::size_t maxBytes) {
    std::string out;
    out.reserve(std::min(text.size(), maxBytes));
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = 0;
        std::size_t length = utf8::Decode(text, i, c);
        std::string piece;
        if (length == 0) {
            piece = "?";
            length = 1;
        } else if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0) || c == 0x2028 || c == 0x2029) {
            piece = " ";
        } else {
            piece.assign(text.substr(i, length));
        }
        if (out.size() + piece.size() > maxBytes) {
            out += "...";
            break;
        }
        out += piece;
        i += length;
    }
    return out;
}

std::string FormatLine(const Timestamp& time, unsigned long processId, std::string_view kind, std::string_view text) {
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d.%03d [%lu] ", time.year, time.month, time.day,
                  time.hour, time.minute, time.second, time.millisecond, processId);
    return stamp + SafeText(kind, 40) + ": " + SafeText(text) + "\n";
}

}  // namespace kavuno::logfile
