// The slow-transfer rule: besides silence (internet.h), a transfer that
// brings less than kMinBytes in any kWindowMs before its end has stalled, so
// a server trickling a byte at a time cannot hold the player off. Window-free,
// so it is tested natively.
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

#include "launcher/byte_source.h"

namespace kavuno::launcher {

class TransferRate {
public:
    static constexpr uint64_t kWindowMs = 30000;
    static constexpr uint64_t kMinBytes = 32 * 1024;

    explicit TransferRate(uint64_t startMs) { marks_.push_back({startMs, 0}); }
    // Notes `bytes` that arrived at `nowMs`; false once the transfer has stalled.
    bool Note(uint64_t nowMs, uint64_t bytes);

private:
    // The total before the first bytes of each second: at most a window's
    // worth of them is kept, whatever the number of reads.
    struct Mark {
        uint64_t ms;
        uint64_t before;
    };
    std::deque<Mark> marks_;
    uint64_t total_ = 0;
};

// A source whose reads obey the rule: a read that finds the transfer stalled
// fails as a read error would. `clock` gives monotonic milliseconds.
class RateCheckedSource : public ByteSource {
public:
    using Clock = std::function<uint64_t()>;
    RateCheckedSource(std::unique_ptr<ByteSource> inner, Clock clock)
        : inner_(std::move(inner)), clock_(std::move(clock)), rate_(clock_()) {}

    bool Read(char* buffer, size_t size, size_t& read) override;
    std::optional<uint64_t> AnnouncedLength() const override { return inner_->AnnouncedLength(); }

private:
    std::unique_ptr<ByteSource> inner_;
    Clock clock_;
    TransferRate rate_;
};

}  // namespace kavuno::launcher
