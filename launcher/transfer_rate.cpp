#include "launcher/transfer_rate.h"

namespace kavuno::launcher {

bool TransferRate::Note(uint64_t nowMs, uint64_t bytes) {
    if (nowMs >= marks_.back().ms + 1000) marks_.push_back({nowMs, total_});
    total_ += bytes;
    // Keep the newest mark that is a whole window old, and the ones after it.
    while (marks_.size() >= 2 && marks_[1].ms + kWindowMs <= nowMs) marks_.pop_front();
    const Mark& oldest = marks_.front();
    return oldest.ms + kWindowMs > nowMs || total_ - oldest.before >= kMinBytes;
}

bool RateCheckedSource::Read(char* buffer, size_t size, size_t& read) {
    if (!inner_->Read(buffer, size, read)) return false;
    // The end of the data is no stall, however late it comes.
    return read == 0 || rate_.Note(clock_(), read);
}

}  // namespace kavuno::launcher
