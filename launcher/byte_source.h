// Where the updater's bytes come from: the manifest and each file, as the
// network delivers them. Window-free, so the update logic is tested natively
// with sources of its own.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

namespace kavuno::launcher {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to `size` bytes into `buffer`; false on a read error. `read` is
    // 0 at the end of the data.
    virtual bool Read(char* buffer, size_t size, size_t& read) = 0;
    // The length the sender announced, when it did: data that ends short of it
    // was cut off on the way.
    virtual std::optional<uint64_t> AnnouncedLength() const { return std::nullopt; }
};

// Whether `received` bytes, at the end of the data, are all the source announced.
inline bool IsComplete(const ByteSource& source, uint64_t received) {
    std::optional<uint64_t> announced = source.AnnouncedLength();
    return !announced || *announced == received;
}

}  // namespace kavuno::launcher
