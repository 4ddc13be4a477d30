#include "player/catalogue/record_body.h"

#include "player/catalogue/archive.h"

namespace kavuno::catalogue::body {

std::size_t Size(const char* body) {
    const auto* p = reinterpret_cast<const unsigned char*>(
        detail::SeekText(reinterpret_cast<const unsigned char*>(body), kTextCount - 1));
    return static_cast<std::size_t>(reinterpret_cast<const char*>(detail::SkipText(p)) - body);
}

Members Read(const char* body) {
    Members m;
    const auto* p = reinterpret_cast<const unsigned char*>(body);
    std::size_t nextInt = 0;
    for (std::size_t slot = 0; slot < kTextCount; ++slot) {
        const std::size_t length = detail::ReadLength(p);
        m.texts[slot] = {reinterpret_cast<const char*>(p), length};
        p += length;
        if (slot + 1 == kTextsBeforeFirstInts || slot + 1 == kTextsBeforeSecondInts) {
            m.ints[nextInt++] = static_cast<std::int32_t>(detail::Load32(p));
            m.ints[nextInt++] = static_cast<std::int32_t>(detail::Load32(p + 4));
            p += 8;
        }
    }
    return m;
}

std::string Build(const std::array<std::string_view, kTextCount>& stored,
                  const std::array<std::int32_t, kIntCount>& ints) {
    std::string out;
    ArchiveWriter writer(out);
    std::size_t nextInt = 0;
    for (std::size_t slot = 0; slot < kTextCount; ++slot) {
        writer.WriteText(stored[slot]);
        if (slot + 1 == kTextsBeforeFirstInts || slot + 1 == kTextsBeforeSecondInts) {
            writer.WriteI32(ints[nextInt++]);
            writer.WriteI32(ints[nextInt++]);
        }
    }
    return out;
}

}  // namespace kavuno::catalogue::body
