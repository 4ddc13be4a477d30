// One catalogue record: a movie, an episode or a series.
//
// Every field exists twice: the stored member is what movie.dat holds (texts
// scrambled, each byte 12 lower), the plain member is derived from it and is
// what the rest of the player reads. A record keeps only its stored members,
// as the file's record body (record_body.h), and derives a plain member each
// time it is read: a catalogue of a million records is loaded without
// touching a text, and the few texts the window shows are converted then.
// Comparisons and searches over many records run on the stored bytes with
// the other side converted once (PlainTextEquals, list_rows.h).
//
// A record held by a RecordArray points at its body in the array's storage
// (the mapped file, or the array's arena); a record made by a tool or a test,
// or copied out of an array, owns its body.
#pragma once
#include <cstdint>
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
// The part of a stored text that its plain text comes from: up to the first zero byte.
std::string_view PlainPartOfStored(std::string_view stored);

class MovieRecord {
public:
    // All texts empty, all integers zero.
    MovieRecord() = default;
    // A record whose stored texts are the scrambled plain texts.
    explicit MovieRecord(const RecordFields& plain);

    MovieRecord(const MovieRecord& other);
    MovieRecord& operator=(const MovieRecord& other);
    MovieRecord(MovieRecord&& other) noexcept;
    MovieRecord& operator=(MovieRecord&& other) noexcept;
    ~MovieRecord();

    // Plain members, derived when read.
    std::string file() const { return Text(TextField::File); }
    std::string title() const { return Text(TextField::Title); }
    std::string actor() const { return Text(TextField::Actor); }
    std::string parent() const { return Text(TextField::Parent); }
    std::string server() const { return Text(TextField::Server); }
    std::string kind() const { return Text(TextField::Kind); }
    std::string path() const { return Text(TextField::Path); }
    std::string id() const { return Text(TextField::Id); }
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

    // The same members by field. A plain integer is its stored one.
    std::string Text(TextField field) const { return UnscrambleText(StoredView(field)); }
    std::string StoredText(TextField field) const { return std::string(StoredView(field)); }
    std::int32_t Int(IntField field) const { return StoredInt(field); }
    std::int32_t StoredInt(IntField field) const;
    // The stored text where the record keeps it; valid while the record (and
    // the array holding it) lives and is not changed.
    std::string_view StoredView(TextField field) const;

    // Tests on the plain text without deriving it. `stored` is the stored form
    // of the text to compare with (ScrambleText of the plain text).
    bool PlainTextEmpty(TextField field) const { return PlainPartOfStored(StoredView(field)).empty(); }
    bool PlainTextEquals(TextField field, std::string_view stored) const;

    // All plain members at once.
    RecordFields Fields() const;

    // Setters keep plain and stored members in step: SetText stores the
    // scrambled text, SetStoredText the text as given.
    void SetText(TextField field, std::string_view plain);
    void SetStoredText(TextField field, std::string_view stored);
    void SetInt(IntField field, std::int32_t value);

    // Reads the twelve stored members in archive order (wide texts converted
    // to GBK). Throws ArchiveError (archive.h) on a damaged body; the record is
    // then left empty.
    void Serialize(ArchiveReader& ar);
    // Writes the twelve stored members in archive order.
    void Serialize(ArchiveWriter& ar) const;

    // rtsp address of the movie: base chosen by `server` + path + file.
    std::string GetStreamAddress() const;
    // Details page: web site + "/film/soft.asp?id=" + id; empty when id is empty.
    std::string GetDetailsAddress() const;

private:
    friend class RecordArray;

    // A record of a RecordArray: `body` lives in the array's storage. The
    // array never runs the destructor of such a record, which owns nothing.
    explicit MovieRecord(const char* body) : body_(body) {}
    // Reads a body from `ar` into `arena`; returns it, or throws ArchiveError
    // with the arena as it was.
    static const char* ReadBody(ArchiveReader& ar, TextArena& arena);
    // Takes a copy of `body` as the record's own.
    void Own(std::string_view body);
    bool OwnsBody() const { return body_ != EmptyBody(); }
    static const char* EmptyBody();

    const char* body_ = EmptyBody();
};

}  // namespace kavuno::catalogue
