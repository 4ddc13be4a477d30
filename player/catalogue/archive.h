// The archive stream movie.dat is written in: little-endian integers, texts
// with a one-, three- or seven-byte length prefix, object headers that name
// the class once and refer back to it afterwards.
#pragma once
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kavuno::catalogue {

// A damaged archive: what is wrong and the byte offset of the item (tag,
// length prefix, integer, text) where it was found.
class ArchiveError : public std::runtime_error {
public:
    ArchiveError(const std::string& message, std::uint64_t offset);
    std::uint64_t offset() const { return offset_; }
    // "message at byte N"
    std::string Describe() const;

private:
    std::uint64_t offset_;
};

// Object header tags.
inline constexpr std::uint16_t kNullTag = 0x0000;
inline constexpr std::uint16_t kLongTag = 0x7FFF;
inline constexpr std::uint16_t kClassTag = 0x8000;
inline constexpr std::uint16_t kNewClassTag = 0xFFFF;
inline constexpr std::uint32_t kLongClassFlag = 0x80000000u;
// The only class catalogue files hold, and its schema number.
inline constexpr std::string_view kRecordClassName = "CMF";
inline constexpr std::uint16_t kRecordSchema = 0;
// Class names of this length or longer are refused.
inline constexpr std::size_t kMaxClassNameLength = 64;

// Reads an archive from memory or from a file through a fixed-size buffer.
// Every read throws ArchiveError when the data ends early; a text length is
// checked against what is left of the data before anything is allocated.
class ArchiveReader {
public:
    // Reads `bytes`, which must outlive the reader.
    explicit ArchiveReader(std::string_view bytes);
    // Reads an open file from its current position to its end; the reader
    // does not close it. `size` is the file's size in bytes.
    ArchiveReader(std::FILE* file, std::uint64_t size, std::size_t bufferSize);

    ArchiveReader(const ArchiveReader&) = delete;
    ArchiveReader& operator=(const ArchiveReader&) = delete;

    std::uint8_t ReadU8();
    std::uint16_t ReadU16();
    std::uint32_t ReadU32();
    std::int32_t ReadI32() { return static_cast<std::int32_t>(ReadU32()); }

    // One text as stored: its bytes as they stand, or, for a wide text, its
    // UTF-16 converted to GBK. The view is valid until the next read.
    std::string_view ReadText();

    // Fills `out` with exactly `n` bytes.
    void ReadBytes(char* out, std::size_t n);

    // Offset of the next byte to be read, from the start of the data.
    std::uint64_t offset() const { return consumedBefore_ + static_cast<std::uint64_t>(cur_ - begin_); }
    // Bytes left from the current offset to the end of the data.
    std::uint64_t remaining() const { return total_ - offset(); }

    // The bytes the reader holds from the current offset on: all that is left
    // of the data for a reader of bytes in memory, and what its buffer holds
    // for a file reader. Skip(n) passes n of them (n <= Unread().size()).
    std::string_view Unread() const { return {cur_, Available()}; }
    void Skip(std::size_t n) { cur_ += n; }

    [[noreturn]] void Fail(const std::string& message, std::uint64_t offset) const;

private:
    std::size_t Available() const { return static_cast<std::size_t>(end_ - cur_); }
    // Makes at least n bytes available in the window; throws at end of data.
    void Fill(std::size_t n, std::uint64_t itemOffset);
    std::uint32_t ReadLength(bool& wide);

    std::FILE* file_ = nullptr;
    std::vector<char> buffer_;
    const char* begin_ = nullptr;  // window over the data
    const char* cur_ = nullptr;
    const char* end_ = nullptr;
    std::uint64_t consumedBefore_ = 0;  // data offset of begin_
    std::uint64_t total_ = 0;
    std::string scratch_;  // texts that cross the buffer's end, converted wide texts
};

// Writes an archive into a string. Texts get the shortest length prefix.
class ArchiveWriter {
public:
    explicit ArchiveWriter(std::string& out) : out_(out) {}

    void WriteU8(std::uint8_t v);
    void WriteU16(std::uint16_t v);
    void WriteU32(std::uint32_t v);
    void WriteI32(std::int32_t v) { WriteU32(static_cast<std::uint32_t>(v)); }
    void WriteText(std::string_view bytes);
    // Writes the stored form (each byte 12 lower) of a plain text.
    void WriteScrambledText(std::string_view plain);

    // The object header of the next record: the new-class header the first
    // time, the class reference 0x8001 after that.
    void WriteRecordHeader();

    std::string& out() { return out_; }

private:
    void WriteLengthPrefix(std::size_t length);

    std::string& out_;
    bool classWritten_ = false;
};

}  // namespace kavuno::catalogue
