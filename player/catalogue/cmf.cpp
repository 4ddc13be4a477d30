#include "player/catalogue/cmf.h"

#include <cstring>
#include <limits>
#include <stdexcept>

#include "common/service_config.h"
#include "player/catalogue/archive.h"
#include "player/catalogue/text_arena.h"
#include "player/catalogue/text_scramble.h"

namespace kavuno::catalogue {
namespace {

// Archive order of the texts: title, file, actor, parent, path, server, kind, id.
constexpr std::size_t kSlotOfField[kTextFieldCount] = {1, 0, 2, 3, 5, 6, 4, 7};
constexpr TextField kFieldOfSlot[kTextFieldCount] = {
    TextField::Title, TextField::File, TextField::Actor, TextField::Parent,
    TextField::Path,  TextField::Server, TextField::Kind, TextField::Id};

constexpr std::size_t kMaxBlock = std::numeric_limits<std::uint32_t>::max();

}  // namespace

std::string ScrambleText(std::string_view plain) {
    std::string stored(plain);
    ScrambleInPlace(stored.data(), stored.size());
    return stored;
}

std::string UnscrambleText(std::string_view stored) {
    std::string plain(stored.substr(0, std::min(stored.size(), stored.find('\0'))));
    UnscrambleInPlace(plain.data(), plain.size());
    return plain;
}

std::size_t CMF::SlotOf(TextField field) { return kSlotOfField[static_cast<std::size_t>(field)]; }

CMF::CMF(const RecordFields& plain) {
    std::array<std::string, kTextFieldCount> stored;
    const std::string* texts[kTextFieldCount] = {&plain.file,   &plain.title, &plain.actor, &plain.parent,
                                                 &plain.server, &plain.kind,  &plain.path,  &plain.id};
    for (std::size_t f = 0; f < kTextFieldCount; ++f) stored[SlotOf(static_cast<TextField>(f))] = ScrambleText(*texts[f]);
    Rebuild(stored);
    SetInt(IntField::Playable, plain.playable);
    SetInt(IntField::Detail, plain.detail);
    SetInt(IntField::Player, plain.player);
    SetInt(IntField::Video, plain.video);
}

CMF::CMF(const CMF& other)
    : end_(other.end_), plainInt_(other.plainInt_), storedInt_(other.storedInt_), heldTail_(other.heldTail_) {
    owned_ = std::make_unique<Owned>();
    if (other.owned_) owned_->plainLength = other.owned_->plainLength;
    const std::size_t size = other.BlockSize();
    if (size > 0) {
        owned_->block.reset(new char[size]);
        std::memcpy(owned_->block.get(), other.text_, size);
        text_ = owned_->block.get();
    }
}

CMF::CMF(CMF&& other) noexcept { *this = std::move(other); }

// The moved-from record is left empty rather than pointing at texts it no
// longer owns.
CMF& CMF::operator=(CMF&& other) noexcept {
    if (this == &other) return *this;
    text_ = other.text_;
    end_ = other.end_;
    plainInt_ = other.plainInt_;
    storedInt_ = other.storedInt_;
    heldTail_ = other.heldTail_;
    pendingDerive_ = other.pendingDerive_;
    owned_ = std::move(other.owned_);
    other.text_ = EmptyBlock();
    other.end_ = {};
    other.plainInt_ = {};
    other.storedInt_ = {};
    other.heldTail_ = 0;
    other.pendingDerive_ = false;
    return *this;
}

CMF& CMF::operator=(const CMF& other) {
    if (this != &other) *this = CMF(other);
    return *this;
}

void CMF::CopyInto(TextArena& arena, const CMF& from) {
    const std::size_t size = from.BlockSize();
    arena.Begin();
    if (size > 0) std::memcpy(arena.Extend(size), from.text_, size);
    text_ = const_cast<char*>(arena.Finish());
    end_ = from.end_;
    plainInt_ = from.plainInt_;
    storedInt_ = from.storedInt_;
    heldTail_ = from.heldTail_;
    pendingDerive_ = false;
    owned_.reset();
    if (heldTail_ != 0) {
        owned_ = std::make_unique<Owned>();
        owned_->plainLength = from.owned_->plainLength;
    }
}

std::size_t CMF::PlainLength(std::size_t slot) const {
    if (heldTail_ & (1u << slot)) return owned_->plainLength[slot];
    return end_[slot] - Begin(slot);
}

std::string_view CMF::Text(TextField field) const {
    const std::size_t slot = SlotOf(field);
    return {text_ + Begin(slot), PlainLength(slot)};
}

std::string CMF::StoredText(TextField field) const {
    const std::size_t slot = SlotOf(field);
    const std::size_t plain = PlainLength(slot);
    std::string stored(text_ + Begin(slot), end_[slot] - Begin(slot));
    ScrambleInPlace(stored.data(), plain);
    return stored;
}

RecordFields CMF::Fields() const {
    RecordFields f;
    f.file = file();
    f.title = title();
    f.actor = actor();
    f.parent = parent();
    f.server = server();
    f.kind = kind();
    f.path = path();
    f.id = id();
    f.playable = playable();
    f.detail = detail();
    f.player = player();
    f.video = video();
    return f;
}

void CMF::SetText(TextField field, std::string_view plain) { SetStoredText(field, ScrambleText(plain)); }

void CMF::SetStoredText(TextField field, std::string_view stored) {
    std::array<std::string, kTextFieldCount> texts;
    for (std::size_t slot = 0; slot < kTextFieldCount; ++slot) texts[slot] = StoredText(kFieldOfSlot[slot]);
    texts[SlotOf(field)] = std::string(stored);
    Rebuild(texts);
}

void CMF::SetInt(IntField field, std::int32_t value) {
    storedInt_[static_cast<std::size_t>(field)] = value;
    plainInt_[static_cast<std::size_t>(field)] = value;
}

// A record of its own: a new block of the stored texts, derived in place.
void CMF::Rebuild(const std::array<std::string, kTextFieldCount>& stored) {
    std::size_t total = 0;
    for (const auto& text : stored) total += text.size();
    if (total > kMaxBlock) throw std::length_error("record texts too long");
    auto owned = std::make_unique<Owned>();
    owned->block.reset(new char[total == 0 ? 1 : total]);
    std::size_t at = 0;
    for (std::size_t slot = 0; slot < kTextFieldCount; ++slot) {
        if (!stored[slot].empty()) std::memcpy(owned->block.get() + at, stored[slot].data(), stored[slot].size());
        at += stored[slot].size();
        end_[slot] = static_cast<std::uint32_t>(at);
    }
    owned_ = std::move(owned);
    text_ = owned_->block.get();
    heldTail_ = 0;
    pendingDerive_ = true;
    DeriveFields();
}

void CMF::DeriveFields() {
    if (pendingDerive_) DeriveInPlace();
    plainInt_ = storedInt_;
}

// Each stored text becomes its plain text where it stands; a text with a
// zero byte is derived up to the zero and keeps the rest as its stored tail.
void CMF::DeriveInPlace() {
    for (std::size_t slot = 0; slot < kTextFieldCount; ++slot) {
        char* text = text_ + Begin(slot);
        const std::size_t length = end_[slot] - Begin(slot);
        const void* zero = length == 0 ? nullptr : std::memchr(text, 0, length);
        std::size_t plain = length;
        if (zero != nullptr) {
            plain = static_cast<std::size_t>(static_cast<const char*>(zero) - text);
            if (!owned_) owned_ = std::make_unique<Owned>();
            owned_->plainLength[slot] = static_cast<std::uint32_t>(plain);
            heldTail_ = static_cast<std::uint8_t>(heldTail_ | (1u << slot));
        }
        UnscrambleInPlace(text, plain);
    }
    pendingDerive_ = false;
}

void CMF::ReadBody(ArchiveReader& ar, TextArena& arena) {
    arena.Begin();
    std::size_t at = 0;
    auto readText = [&](std::size_t slot) {
        const std::uint64_t itemOffset = ar.offset();
        const std::string_view text = ar.ReadText();
        if (text.size() > kMaxBlock - at) ar.Fail("record texts longer than 4 GiB", itemOffset);
        if (!text.empty()) std::memcpy(arena.Extend(text.size()), text.data(), text.size());
        at += text.size();
        end_[slot] = static_cast<std::uint32_t>(at);
    };
    auto readInt = [&](IntField field) { storedInt_[static_cast<std::size_t>(field)] = ar.ReadI32(); };
    readText(0);  // title
    readText(1);  // file
    readText(2);  // actor
    readText(3);  // parent
    readInt(IntField::Playable);
    readInt(IntField::Detail);
    readText(4);  // path
    readText(5);  // server
    readText(6);  // kind
    readInt(IntField::Player);
    readInt(IntField::Video);
    readText(7);  // id
    text_ = at == 0 ? EmptyBlock() : const_cast<char*>(arena.Finish());
    if (at == 0) arena.Abandon();
    heldTail_ = 0;
    pendingDerive_ = true;
}

void CMF::Serialize(ArchiveReader& ar) {
    TextArena* arena = ar.arena();
    TextArena local;
    TextArena& target = arena != nullptr ? *arena : local;
    try {
        owned_.reset();
        ReadBody(ar, target);
    } catch (...) {
        target.Abandon();
        *this = CMF();
        throw;
    }
    DeriveFields();
    if (arena == nullptr && BlockSize() > 0) {
        // Read through a reader without an arena: the record keeps its own copy.
        if (!owned_) owned_ = std::make_unique<Owned>();
        owned_->block.reset(new char[BlockSize()]);
        std::memcpy(owned_->block.get(), text_, BlockSize());
        text_ = owned_->block.get();
    }
}

void CMF::Serialize(ArchiveWriter& ar) const {
    auto writeText = [&](std::size_t slot) {
        if (heldTail_ & (1u << slot))
            ar.WriteText(StoredText(kFieldOfSlot[slot]));
        else
            ar.WriteScrambledText({text_ + Begin(slot), end_[slot] - Begin(slot)});
    };
    auto writeInt = [&](IntField field) { ar.WriteI32(storedInt_[static_cast<std::size_t>(field)]); };
    writeText(0);
    writeText(1);
    writeText(2);
    writeText(3);
    writeInt(IntField::Playable);
    writeInt(IntField::Detail);
    writeText(4);
    writeText(5);
    writeText(6);
    writeInt(IntField::Player);
    writeInt(IntField::Video);
    writeText(7);
}

std::string CMF::GetStreamAddress() const {
    const std::string_view code = server();
    std::string base;
    if (code.empty()) {
        base = "rtsp://" + config::StreamHostA() + "/movie/";
    } else if (code == "1") {
        const config::Credentials c = config::StreamCredentialsA();
        base = "rtsp://" + c.user + ":" + c.password + "@" + config::StreamHostA() + "/";
    } else if (code == "2") {
        base = "rtsp://" + config::StreamHostB() + "/movie/";
    } else if (code == "3") {
        const config::Credentials c = config::StreamCredentialsB();
        base = "rtsp://" + c.user + ":" + c.password + "@" + config::StreamHostB() + "/";
    } else if (code == "4") {
        base = "rtsp://" + config::StreamHostC() + "/";
    } else {
        base = code;  // a record can name its own base address
    }
    base += path();
    base += file();
    return base;
}

std::string CMF::GetDetailsAddress() const {
    if (id().empty()) return {};
    return config::WebSite() + "/film/soft.asp?id=" + std::string(id());
}

}  // namespace kavuno::catalogue
