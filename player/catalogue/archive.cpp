#include "player/catalogue/archive.h"

#include <algorithm>
#include <cstring>

#include "common/gbk.h"
#include "player/catalogue/text_scramble.h"

namespace kavuno::catalogue {

ArchiveError::ArchiveError(const std::string& message, std::uint64_t offset)
    : std::runtime_error(message), offset_(offset) {}

std::string ArchiveError::Describe() const { return std::string(what()) + " at byte " + std::to_string(offset_); }

ArchiveReader::ArchiveReader(std::string_view bytes)
    : begin_(bytes.data()), cur_(bytes.data()), end_(bytes.data() + bytes.size()), total_(bytes.size()) {}

ArchiveReader::ArchiveReader(std::FILE* file, std::uint64_t size, std::size_t bufferSize)
    : file_(file), buffer_(std::max<std::size_t>(bufferSize, 16)), total_(size) {
    begin_ = cur_ = end_ = buffer_.data();
}

void ArchiveReader::Fail(const std::string& message, std::uint64_t offset) const {
    throw ArchiveError(message, offset);
}

void ArchiveReader::Fill(std::size_t n, std::uint64_t itemOffset) {
    if (file_ == nullptr || n > buffer_.size()) Fail("unexpected end of file", itemOffset);
    // Keep the unread bytes, move them to the front and read more behind them.
    const std::size_t have = Available();
    consumedBefore_ += static_cast<std::uint64_t>(cur_ - begin_);
    if (have > 0 && cur_ != buffer_.data()) std::memmove(buffer_.data(), cur_, have);
    begin_ = cur_ = buffer_.data();
    end_ = begin_ + have;
    while (Available() < n) {
        const std::size_t got = std::fread(buffer_.data() + Available(), 1, buffer_.size() - Available(), file_);
        if (got == 0) Fail("unexpected end of file", itemOffset);
        end_ += got;
    }
}

std::uint8_t ArchiveReader::ReadU8() {
    if (cur_ == end_) Fill(1, offset());
    return static_cast<std::uint8_t>(*cur_++);
}

std::uint16_t ArchiveReader::ReadU16() {
    if (Available() < 2) Fill(2, offset());
    const auto* p = reinterpret_cast<const unsigned char*>(cur_);
    cur_ += 2;
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t ArchiveReader::ReadU32() {
    if (Available() < 4) Fill(4, offset());
    const auto* p = reinterpret_cast<const unsigned char*>(cur_);
    cur_ += 4;
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void ArchiveReader::ReadBytes(char* out, std::size_t n) {
    const std::uint64_t itemOffset = offset();
    while (n > 0) {
        if (cur_ == end_) Fill(1, itemOffset);
        const std::size_t take = std::min(n, Available());
        std::memcpy(out, cur_, take);
        cur_ += take;
        out += take;
        n -= take;
    }
}

// One byte below 0xFF is the length; 0xFF is followed by a 16-bit length, and
// a 16-bit 0xFFFF by a 32-bit one. A 16-bit 0xFFFE in the first prefix marks
// a wide text whose own prefix follows; in that second prefix 0xFFFE is just
// the length 65534.
std::uint32_t ArchiveReader::ReadLength(bool& wide) {
    wide = false;
    for (;;) {
        const std::uint8_t b = ReadU8();
        if (b < 0xFF) return b;
        const std::uint16_t w = ReadU16();
        if (w == 0xFFFE && !wide) {
            wide = true;
            continue;
        }
        if (w < 0xFFFF) return w;
        return ReadU32();
    }
}

std::string_view ArchiveReader::ReadText() {
    const std::uint64_t itemOffset = offset();
    bool wide = false;
    const std::uint32_t length = ReadLength(wide);
    const std::uint64_t bytes = wide ? std::uint64_t{length} * 2 : length;
    // Checked before anything is allocated: a damaged prefix cannot ask for
    // more memory than the file has bytes.
    if (bytes > remaining())
        Fail("text of " + std::to_string(bytes) + " bytes is longer than the rest of the file", itemOffset);
    if (!wide) {
        if (length <= Available()) {
            std::string_view text(cur_, length);
            cur_ += length;
            return text;
        }
        scratch_.resize(length);
        ReadBytes(scratch_.data(), length);
        return scratch_;
    }
    std::string units(static_cast<std::size_t>(bytes), '\0');
    ReadBytes(units.data(), units.size());
    std::u16string text(length, u'\0');
    for (std::size_t i = 0; i < length; ++i) {
        text[i] = static_cast<char16_t>(static_cast<unsigned char>(units[2 * i]) |
                                        (static_cast<unsigned char>(units[2 * i + 1]) << 8));
    }
    scratch_ = gbk::FromUtf16Lenient(text);
    return scratch_;
}

void ArchiveWriter::WriteU8(std::uint8_t v) { out_.push_back(static_cast<char>(v)); }

void ArchiveWriter::WriteU16(std::uint16_t v) {
    const char bytes[2] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
    out_.append(bytes, 2);
}

void ArchiveWriter::WriteU32(std::uint32_t v) {
    const char bytes[4] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                           static_cast<char>((v >> 16) & 0xFF), static_cast<char>(v >> 24)};
    out_.append(bytes, 4);
}

void ArchiveWriter::WriteLengthPrefix(std::size_t length) {
    if (length < 0xFF) {
        WriteU8(static_cast<std::uint8_t>(length));
    } else if (length < 0xFFFE) {
        WriteU8(0xFF);
        WriteU16(static_cast<std::uint16_t>(length));
    } else {
        if (length > 0xFFFFFFFFu) throw std::length_error("text too long for the archive");
        WriteU8(0xFF);
        WriteU16(0xFFFF);
        WriteU32(static_cast<std::uint32_t>(length));
    }
}

void ArchiveWriter::WriteText(std::string_view bytes) {
    WriteLengthPrefix(bytes.size());
    out_.append(bytes);
}

void ArchiveWriter::WriteScrambledText(std::string_view plain) {
    WriteLengthPrefix(plain.size());
    const std::size_t at = out_.size();
    out_.append(plain);
    ScrambleInPlace(out_.data() + at, plain.size());
}

void ArchiveWriter::WriteRecordHeader() {
    if (classWritten_) {
        WriteU16(static_cast<std::uint16_t>(kClassTag | 1));
        return;
    }
    WriteU16(kNewClassTag);
    WriteU16(kRecordSchema);
    WriteU16(static_cast<std::uint16_t>(kRecordClassName.size()));
    out_.append(kRecordClassName);
    classWritten_ = true;
}

}  // namespace kavuno::catalogue
