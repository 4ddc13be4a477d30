#include "player/catalogue/movie_record.h"

#include <array>
#include <cstring>

#include "common/service_config.h"
#include "common/url.h"
#include "player/catalogue/archive.h"
#include "player/catalogue/record_body.h"
#include "player/catalogue/text_arena.h"
#include "player/catalogue/text_scramble.h"

namespace kavuno::catalogue {
namespace {

// Archive order of the texts: title, file, actor, parent, path, server, kind, id.
constexpr std::size_t kSlotOfField[kTextFieldCount] = {1, 0, 2, 3, 5, 6, 4, 7};
// Archive order of the integers is their member order.

std::size_t SlotOf(TextField field) { return kSlotOfField[static_cast<std::size_t>(field)]; }

// The body of a record without texts and with every integer zero.
constexpr char kEmptyBody[body::kTextCount + 4 * body::kIntCount] = {};

// Reads one body in archive order and writes it narrow into `out`.
void ReadNarrowBody(ArchiveReader& ar, std::string& out) {
    ArchiveWriter writer(out);
    for (std::size_t slot = 0; slot < body::kTextCount; ++slot) {
        writer.WriteText(ar.ReadText());
        if (slot + 1 == body::kTextsBeforeFirstInts || slot + 1 == body::kTextsBeforeSecondInts) {
            writer.WriteI32(ar.ReadI32());
            writer.WriteI32(ar.ReadI32());
        }
    }
}

}  // namespace

std::string ScrambleText(std::string_view plain) {
    std::string stored(plain);
    ScrambleInPlace(stored.data(), stored.size());
    return stored;
}

std::string_view PlainPartOfStored(std::string_view stored) {
    const void* zero = stored.empty() ? nullptr : std::memchr(stored.data(), 0, stored.size());
    return zero == nullptr ? stored
                           : stored.substr(0, static_cast<std::size_t>(static_cast<const char*>(zero) - stored.data()));
}

std::string UnscrambleText(std::string_view stored) {
    std::string plain(PlainPartOfStored(stored));
    UnscrambleInPlace(plain.data(), plain.size());
    return plain;
}

const char* MovieRecord::EmptyBody() { return kEmptyBody; }

MovieRecord::MovieRecord(const RecordFields& plain) {
    std::array<std::string, kTextFieldCount> stored;
    const std::string* texts[kTextFieldCount] = {&plain.file,   &plain.title, &plain.actor, &plain.parent,
                                                 &plain.server, &plain.kind,  &plain.path,  &plain.id};
    std::array<std::string_view, body::kTextCount> bySlot;
    for (std::size_t f = 0; f < kTextFieldCount; ++f) {
        stored[f] = ScrambleText(*texts[f]);
        bySlot[SlotOf(static_cast<TextField>(f))] = stored[f];
    }
    Own(body::Build(bySlot, {plain.playable, plain.detail, plain.player, plain.video}));
}

MovieRecord::MovieRecord(const MovieRecord& other) { Own({other.body_, body::Size(other.body_)}); }

MovieRecord::MovieRecord(MovieRecord&& other) noexcept : body_(other.body_) { other.body_ = EmptyBody(); }

// The moved-from record is left empty rather than pointing at a body it no
// longer owns.
MovieRecord& MovieRecord::operator=(MovieRecord&& other) noexcept {
    if (this != &other) {
        if (OwnsBody()) delete[] body_;
        body_ = other.body_;
        other.body_ = EmptyBody();
    }
    return *this;
}

MovieRecord& MovieRecord::operator=(const MovieRecord& other) {
    if (this != &other) *this = MovieRecord(other);
    return *this;
}

MovieRecord::~MovieRecord() {
    if (OwnsBody()) delete[] body_;
}

void MovieRecord::Own(std::string_view body) {
    char* copy = new char[body.size()];
    std::memcpy(copy, body.data(), body.size());
    if (OwnsBody()) delete[] body_;
    body_ = copy;
}

std::string_view MovieRecord::StoredView(TextField field) const { return body::Text(body_, SlotOf(field)); }

std::int32_t MovieRecord::StoredInt(IntField field) const { return body::Int(body_, static_cast<std::size_t>(field)); }

bool MovieRecord::PlainTextEquals(TextField field, std::string_view stored) const {
    // The plain text ends at the stored text's first zero byte, so it never
    // holds the plain byte that a stored zero stands for.
    if (stored.find('\0') != std::string_view::npos) return false;
    const std::string_view text = StoredView(field);
    return text.size() >= stored.size() && text.compare(0, stored.size(), stored) == 0 &&
           (text.size() == stored.size() || text[stored.size()] == '\0');
}

RecordFields MovieRecord::Fields() const {
    const body::Members m = body::Read(body_);
    auto text = [&](TextField field) { return UnscrambleText(m.texts[SlotOf(field)]); };
    RecordFields f;
    f.file = text(TextField::File);
    f.title = text(TextField::Title);
    f.actor = text(TextField::Actor);
    f.parent = text(TextField::Parent);
    f.server = text(TextField::Server);
    f.kind = text(TextField::Kind);
    f.path = text(TextField::Path);
    f.id = text(TextField::Id);
    f.playable = m.ints[0];
    f.detail = m.ints[1];
    f.player = m.ints[2];
    f.video = m.ints[3];
    return f;
}

void MovieRecord::SetText(TextField field, std::string_view plain) { SetStoredText(field, ScrambleText(plain)); }

void MovieRecord::SetStoredText(TextField field, std::string_view stored) {
    body::Members m = body::Read(body_);
    m.texts[SlotOf(field)] = stored;
    Own(body::Build(m.texts, m.ints));
}

void MovieRecord::SetInt(IntField field, std::int32_t value) {
    body::Members m = body::Read(body_);
    m.ints[static_cast<std::size_t>(field)] = value;
    Own(body::Build(m.texts, m.ints));
}

const char* MovieRecord::ReadBody(ArchiveReader& ar, TextArena& arena) {
    std::string narrow;
    narrow.reserve(128);
    ReadNarrowBody(ar, narrow);
    arena.Begin();
    std::memcpy(arena.Extend(narrow.size()), narrow.data(), narrow.size());
    return arena.Finish();
}

void MovieRecord::Serialize(ArchiveReader& ar) {
    std::string narrow;
    try {
        ReadNarrowBody(ar, narrow);
    } catch (...) {
        *this = MovieRecord();
        throw;
    }
    Own(narrow);
}

// Written narrow with the shortest prefixes, whatever prefixes the body was read with.
void MovieRecord::Serialize(ArchiveWriter& ar) const {
    const body::Members m = body::Read(body_);
    ar.out() += body::Build(m.texts, m.ints);
}

namespace {

// "user:password@", each escaped, so that a password holding '@', '/' or ':'
// can neither break the address nor move it to another host.
std::string UserInfo(const config::Credentials& c) {
    return url::EncodeUserInfo(c.user) + ":" + url::EncodeUserInfo(c.password) + "@";
}

}  // namespace

std::string MovieRecord::GetStreamAddress() const {
    const std::string code = server();
    std::string base;
    if (code.empty()) {
        base = "rtsp://" + config::StreamHostA() + "/movie/";
    } else if (code == "1") {
        const config::Credentials c = config::StreamCredentialsA();
        base = "rtsp://" + UserInfo(c) + config::StreamHostA() + "/";
    } else if (code == "2") {
        base = "rtsp://" + config::StreamHostB() + "/movie/";
    } else if (code == "3") {
        const config::Credentials c = config::StreamCredentialsB();
        base = "rtsp://" + UserInfo(c) + config::StreamHostB() + "/";
    } else if (code == "4") {
        base = "rtsp://" + config::StreamHostC() + "/";
    } else {
        base = code;  // a record can name its own base address
    }
    base += path();
    base += file();
    return base;
}

std::string MovieRecord::GetDetailsAddress() const {
    const std::string key = id();
    if (key.empty()) return {};
    return config::WebSite() + "/film/soft.asp?id=" + key;
}

}  // namespace kavuno::catalogue
