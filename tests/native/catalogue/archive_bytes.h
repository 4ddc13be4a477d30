// Builds movie.dat bytes by hand, item by item, so tests can write exactly the
// damaged or unusual archives they need.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "player/catalogue/movie_record.h"

namespace kavuno::catalogue::testing {

class ArchiveBytes {
public:
    ArchiveBytes& U8(std::uint8_t v) {
        bytes_ += static_cast<char>(v);
        return *this;
    }
    ArchiveBytes& U16(std::uint16_t v) { return U8(v & 0xFF).U8(v >> 8); }
    ArchiveBytes& U32(std::uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
    ArchiveBytes& I32(std::int32_t v) { return U32(static_cast<std::uint32_t>(v)); }
    ArchiveBytes& Raw(std::string_view b) {
        bytes_ += b;
        return *this;
    }

    // A text with a one-byte prefix (shorter than 255 bytes), stored as given.
    ArchiveBytes& Short(std::string_view stored) { return U8(static_cast<std::uint8_t>(stored.size())).Raw(stored); }
    // A text stored scrambled from its plain form.
    ArchiveBytes& Plain(std::string_view plain) { return Short(ScrambleText(plain)); }

    ArchiveBytes& NewClassHeader() { return U16(0xFFFF).U16(0).U16(3).Raw("CMF"); }
    ArchiveBytes& ClassRef() { return U16(0x8001); }

    // A record body with the given plain title and kind, other texts empty.
    ArchiveBytes& Body(std::string_view title, std::string_view kind = "", std::int32_t playable = 1) {
        Plain(title).Plain("").Plain("").Plain("");  // title, file, actor, parent
        I32(playable).I32(0);                        // playable, detail
        Plain("").Plain("").Plain(kind);             // path, server, kind
        I32(0).I32(0);                               // player, video
        return Plain("");                            // id
    }

    const std::string& str() const { return bytes_; }
    std::size_t size() const { return bytes_.size(); }

private:
    std::string bytes_;
};

}  // namespace kavuno::catalogue::testing
