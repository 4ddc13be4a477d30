// A record body as movie.dat stores it, which is also how a record keeps its
// members in memory: the twelve stored members in archive order (title, file,
// actor, parent, playable, detail, path, server, kind, player, video, id),
// each text behind its length prefix, each integer in four little-endian
// bytes. A record loaded from a file is a pointer to its body in the file's
// bytes; nothing is copied or converted until a member is read.
//
// Bodies held by records are "narrow": no text carries the wide-text mark
// (the archive reader converts such texts and writes a narrow body instead),
// so one length prefix stands before each text.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kavuno::catalogue::body {

inline constexpr std::size_t kTextCount = 8;
inline constexpr std::size_t kIntCount = 4;
// Texts before the first pair of integers (playable, detail) and before the
// second (player, video).
inline constexpr std::size_t kTextsBeforeFirstInts = 4;
inline constexpr std::size_t kTextsBeforeSecondInts = 7;

namespace detail {

inline std::uint32_t Load16(const unsigned char* p) { return static_cast<std::uint32_t>(p[0] | (p[1] << 8)); }
inline std::uint32_t Load32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Reads the length prefix of a narrow text at p and moves p past it.
inline std::size_t ReadLength(const unsigned char*& p) {
    const std::size_t first = *p++;
    if (first < 0xFF) return first;
    const std::uint32_t word = Load16(p);
    p += 2;
    if (word < 0xFFFF) return word;
    const std::uint32_t length = Load32(p);
    p += 4;
    return length;
}

// Passes the text that starts at p (a trusted, narrow body).
inline const unsigned char* SkipText(const unsigned char* p) {
    const std::size_t length = ReadLength(p);
    return p + length;
}

// Passes the texts and integers in front of text `slot`.
inline const unsigned char* SeekText(const unsigned char* p, std::size_t slot) {
    for (std::size_t s = 0; s < slot; ++s) {
        p = SkipText(p);
        if (s + 1 == kTextsBeforeFirstInts || s + 1 == kTextsBeforeSecondInts) p += 8;
    }
    return p;
}

// Passes one text of an untrusted body in [p, end); null when the text does
// not lie wholly inside or is wide.
inline const unsigned char* CheckText(const unsigned char* p, const unsigned char* end) {
    if (p == end) return nullptr;
    std::size_t length = *p++;
    if (length == 0xFF) {
        if (end - p < 2) return nullptr;
        length = Load16(p);
        p += 2;
        if (length == 0xFFFE) return nullptr;  // a wide text
        if (length == 0xFFFF) {
            if (end - p < 4) return nullptr;
            length = Load32(p);
            p += 4;
        }
    }
    if (static_cast<std::size_t>(end - p) < length) return nullptr;
    return p + length;
}

}  // namespace detail

// Text `slot` (in archive order: 0 title, 1 file, 2 actor, 3 parent, 4 path,
// 5 server, 6 kind, 7 id) of a narrow body, as stored.
inline std::string_view Text(const char* body, std::size_t slot) {
    const unsigned char* p = detail::SeekText(reinterpret_cast<const unsigned char*>(body), slot);
    const std::size_t length = detail::ReadLength(p);
    return {reinterpret_cast<const char*>(p), length};
}

// Integer `index` (in archive order: 0 playable, 1 detail, 2 player, 3 video).
inline std::int32_t Int(const char* body, std::size_t index) {
    const std::size_t textsBefore = index < 2 ? kTextsBeforeFirstInts : kTextsBeforeSecondInts;
    const unsigned char* p = detail::SeekText(reinterpret_cast<const unsigned char*>(body), textsBefore - 1);
    p = detail::SkipText(p) + 4 * (index % 2);
    return static_cast<std::int32_t>(detail::Load32(p));
}

// Bytes of a narrow body.
std::size_t Size(const char* body);

// Every text and integer of a narrow body, in archive order, in one pass.
struct Members {
    std::array<std::string_view, kTextCount> texts;
    std::array<std::int32_t, kIntCount> ints;
};
Members Read(const char* body);

// Checks the body that starts at `p`: the end of the body when it lies wholly
// before `end` and holds no wide text; null otherwise (the archive reader then
// reads it, converting wide texts and reporting faults with their offsets).
inline const char* Scan(const char* p, const char* end) {
    auto* q = reinterpret_cast<const unsigned char*>(p);
    auto* e = reinterpret_cast<const unsigned char*>(end);
    for (std::size_t slot = 0; slot < kTextCount; ++slot) {
        q = detail::CheckText(q, e);
        if (q == nullptr) return nullptr;
        if (slot + 1 == kTextsBeforeFirstInts || slot + 1 == kTextsBeforeSecondInts) {
            if (e - q < 8) return nullptr;
            q += 8;
        }
    }
    return reinterpret_cast<const char*>(q);
}

// Builds a narrow body: texts with the shortest length prefix.
std::string Build(const std::array<std::string_view, kTextCount>& stored,
                  const std::array<std::int32_t, kIntCount>& ints);

}  // namespace kavuno::catalogue::body
