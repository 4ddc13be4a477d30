// The signed file list "update.sig" that the server publishes beside the
// manifest: which files this release holds, each with its exact size and
// SHA-256, signed with the publisher's key. The launcher commits a download
// only when it matches its line. Window-free: the launcher and the operator
// tool kavuno-release share it, and it is tested natively.
//
// The text, every line ending with a line feed:
//   kavuno-update-list 2
//   serial 1733580000
//   expires 1736172000
//   target win32
//   file 51200 <SHA-256, 64 lower-case hex digits> movie.dat
//   file 777 <...> skin\blue.bmp
//   signature <r‖s, 128 lower-case hex digits>
// The serial only grows from release to release; past `expires` (UTC, in
// seconds) the list is refused, so a frozen server cannot keep users on an old
// release for ever; `target` is the build the files are for (win32 or win64).
// A file's name is the rest of its line, in the manifest's exact bytes (GBK).
// Numbers are decimal without leading zeros. The signature is ECDSA P-256
// with SHA-256 over every byte before the signature line, which is the last.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kavuno::launcher {

inline constexpr std::string_view kUpdateListTag = "kavuno-update-list 2";
// A list is names and hashes: far below this. Anything longer is refused
// unread, so a hostile server cannot make the launcher hold more.
inline constexpr size_t kMaxUpdateListSize = 4u << 20;

using Sha256Digest = std::array<uint8_t, 32>;
using EcdsaSignature = std::array<uint8_t, 64>;  // r then s, 32 bytes each, big-endian

struct SignedUpdateList;

struct ListedFile {
    std::string name;  // GBK, as the manifest spells it
    uint64_t size = 0;
    Sha256Digest sha256{};
};

// Whether `target` names a build a list can be for: "win32" or "win64".
bool IsKnownTarget(std::string_view target);

struct UpdateList {
    uint64_t serial = 0;
    uint64_t expires = 0;           // UTC seconds
    std::string target;             // "win32" or "win64"
    std::vector<ListedFile> files;  // in the list's order

    // The line for `name` (exact bytes), or nullptr.
    const ListedFile* Find(std::string_view name) const;

private:
    friend std::optional<SignedUpdateList> ParseUpdateList(std::string_view, std::string&);
    std::vector<size_t> byName_;  // indices into files, sorted by name
};

struct SignedUpdateList {
    UpdateList list;
    size_t signedLength = 0;  // the signature covers the text's first signedLength bytes
    EcdsaSignature signature{};
};

// Reads a list; its signature is not checked here. Nothing, with `error` set
// to a one-line reason, when any byte is out of place: a missing or unknown
// tag (the older format's included), a damaged field, an unknown target, a name listed twice, a line after the
// signature, or more than kMaxUpdateListSize bytes.
std::optional<SignedUpdateList> ParseUpdateList(std::string_view text, std::string& error);

// The signed part of a list: tag, serial, expiry, target and one line per file.
std::string FormatUpdateListBody(uint64_t serial, uint64_t expires, std::string_view target,
                                 const std::vector<ListedFile>& files);
// The line that ends a list.
std::string FormatSignatureLine(const EcdsaSignature& signature);

std::string ToHex(const uint8_t* bytes, size_t size);

}  // namespace kavuno::launcher
