// One catalogue record: a movie, an episode or a series.
//
// Every field exists twice: the stored member is what movie.dat holds (texts
// scrambled, each byte 12 lower), the plain member is derived from it after
// loading and is what the rest of the player reads.
//
// A record held by a RecordArray keeps its texts in the array's arena; a record
// made by a tool or a test owns its texts. Either way a record's texts are one
// block of plain bytes: a stored text is derived back from its plain text
// (stored byte = plain byte - 12), except for the rare stored text that held a
// zero byte, whose tail past the zero is kept as well.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kavuno::catalogue {

class ArchiveReader;
class ArchiveWriter;
class TextArena;

// The eight texts, in member order.
enum class TextField : std::uint8_t { File, Title, Actor, Parent, Server, Kind, Path, Id };
// The four integers, in member order.
enum class IntField : std::uint8_t { Playable, Detail, Player, Video };

inline constexpr std::size_t kTextFieldCount = 8;
inline constexpr std::size_t kIntFieldCount = 4;

// Plain field values, for building records in tools and tests and for reading
// a record out in one piece.
struct RecordFields {
    std::string file, title, actor, parent, server, kind, path, id;
    std::int32_t playable = 0, detail = 0, player = 0, video = 0;

    bool operator==(const RecordFields&) const = default;
};

// Stored form of a plain text: each byte 12 lower (mod 256).
std::string ScrambleText(std::string_view plain);
// Plain form of a stored text: each byte up to the first zero byte, 12 higher.
std::string UnscrambleText(std::string_view stored);

class CMF {
public:
    // All texts empty, all integers zero.
    CMF() = default;
    // A record whose stored texts are the scrambled plain texts.
    explicit CMF(const RecordFields& plain);

    CMF(const CMF& other);
    CMF& operator=(const CMF& other);
    CMF(CMF&& other) noexcept;
    CMF& operator=(CMF&& other) noexcept;
    ~CMF() = default;

    // Plain members. Views stay valid while the record (and the array holding
    // it) lives and is not changed.
    std::string_view file() const { return Text(TextField::File); }
    std::string_view title() const { return Text(TextField::Title); }
    std::string_view actor() const { return Text(TextField::Actor); }
    std::string_view parent() const { return Text(TextField::Parent); }
    std::string_view server() const { return Text(TextField::Server); }
    std::string_view kind() const { return Text(TextField::Kind); }
    std::string_view path() const { return Text(TextField::Path); }
    std::string_view id() const { return Text(TextField::Id); }
    std::int32_t playable() const { return Int(IntField::Playable); }
    std::int32_t detail() const { return Int(IntField::Detail); }
    std::int32_t player() const { return Int(IntField::Player); }
    std::int32_t video() const { return Int(IntField::Video); }

    // Stored members, as the file holds them.
    std::string fileRaw() const { return StoredText(TextField::File); }
    std::string titleRaw() const { return StoredText(TextField::Title); }
    std::string actorRaw() const { return StoredText(TextField::Actor); }
    std::string parentRaw() const { return StoredText(TextField::Parent); }
    std::string serverRaw() const { return StoredText(TextField::Server); }
    std::string kindRaw() const { return StoredText(TextField::Kind); }
    std::string pathRaw() const { return StoredText(TextField::Path); }
    std::string idRaw() const { return StoredText(TextField::Id); }
    std::int32_t playableRaw() const { return StoredInt(IntField::Playable); }
    std::int32_t detailRaw() const { return StoredInt(IntField::Detail); }
    std::int32_t playerRaw() const { return StoredInt(IntField::Player); }
    std::int32_t videoRaw() const { return StoredInt(IntField::Video); }

    // The same members by field.
    std::string_view Text(TextField field) const;
    std::string StoredText(TextField field) const;
    std::int32_t Int(IntField field) const { return plainInt_[static_cast<std::size_t>(field)]; }
    std::int32_t StoredInt(IntField field) const { return storedInt_[static_cast<std::size_t>(field)]; }

    // All plain members at once.
    RecordFields Fields() const;

    // Setters keep plain and stored members in step: SetText stores the
    // scrambled text, SetStoredText derives the plain one.
    void SetText(TextField field, std::string_view plain);
    void SetStoredText(TextField field, std::string_view stored);
    void SetInt(IntField field, std::int32_t value);

    // Reads the twelve stored members in archive order, then DeriveFields.
    // Throws ArchiveError (archive.h) on a damaged body; the record is then
    // left empty.
    void Serialize(ArchiveReader& ar);
    // Writes the twelve stored members in archive order.
    void Serialize(ArchiveWriter& ar) const;

    // Computes every plain member from its stored member. Serialize calls it;
    // the setters keep the members in step, so nobody else needs to.
    void DeriveFields();

    // rtsp address of the movie: base chosen by `server` + path + file.
    std::string GetStreamAddress() const;
    // Details page: web site + "/film/soft.asp?id=" + id; empty when id is empty.
    std::string GetDetailsAddress() const;

private:
    friend class RecordArray;

    // The block holds the texts one after the other in archive order (the
    // "slot" of a text): its plain bytes, then, for a text whose stored form
    // held a zero byte (bit set in heldTail_), the stored bytes from that zero
    // on. end_[slot] is where a slot's bytes end.
    struct Owned {
        std::unique_ptr<char[]> block;  // the block of a record outside a RecordArray
        std::array<std::uint32_t, kTextFieldCount> plainLength{};  // slots with a tail
    };

    // Where the texts of a record without any text point.
    static inline char emptyBlock_[1] = {0};
    static char* EmptyBlock() { return emptyBlock_; }
    static std::size_t SlotOf(TextField field);
    std::size_t Begin(std::size_t slot) const { return slot == 0 ? 0 : end_[slot - 1]; }
    std::size_t PlainLength(std::size_t slot) const;
    std::size_t BlockSize() const { return end_[kTextFieldCount - 1]; }
    void Rebuild(const std::array<std::string, kTextFieldCount>& stored);
    void ReadBody(ArchiveReader& ar, TextArena& arena);
    void DeriveInPlace();
    void CopyInto(TextArena& arena, const CMF& from);

    char* text_ = EmptyBlock();
    std::array<std::uint32_t, kTextFieldCount> end_{};
    std::array<std::int32_t, kIntFieldCount> plainInt_{};
    std::array<std::int32_t, kIntFieldCount> storedInt_{};
    std::uint8_t heldTail_ = 0;     // bit per slot: the slot kept its stored tail
    bool pendingDerive_ = false;    // the block still holds stored bytes
    std::unique_ptr<Owned> owned_;  // own block, and plain lengths of slots with a tail
};

}  // namespace kavuno::catalogue
