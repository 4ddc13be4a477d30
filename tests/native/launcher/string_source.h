// A ByteSource over bytes in memory, for the updater's native tests: it can
// hand out short reads, fail or throw after some bytes, and announce a length
// other than its own.
#pragma once
#include <algorithm>
#include <cstring>
#include <functional>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "launcher/byte_source.h"

namespace kavuno::launcher::testing {

class StringSource : public ByteSource {
public:
    explicit StringSource(std::string data, size_t maxRead = SIZE_MAX) : maxRead(maxRead), data_(std::move(data)) {}

    bool Read(char* buffer, size_t size, size_t& read) override {
        requests.push_back(size);
        if (onRead) onRead();
        if (throwAfter && pos_ >= *throwAfter) throw std::bad_alloc();
        if (failAfter && pos_ >= *failAfter) return false;
        read = std::min({size, maxRead, data_.size() - pos_});
        if (failAfter) read = std::min(read, *failAfter - pos_);
        std::memcpy(buffer, data_.data() + pos_, read);
        pos_ += read;
        return true;
    }
    std::optional<uint64_t> AnnouncedLength() const override { return announced; }

    size_t Consumed() const { return pos_; }

    std::vector<size_t> requests;       // the size asked for by each read
    std::optional<uint64_t> announced;  // as a Content-Length would
    std::optional<size_t> failAfter;    // a read error once this many bytes went out
    std::optional<size_t> throwAfter;   // std::bad_alloc once this many bytes went out
    std::function<void()> onRead;       // called at each read
    size_t maxRead;                     // bytes a read hands out at most

private:
    std::string data_;
    size_t pos_ = 0;
};

}  // namespace kavuno::launcher::testing
