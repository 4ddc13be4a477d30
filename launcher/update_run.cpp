#include "launcher/update_run.h"

#include <algorithm>
#include <optional>

#include "launcher/entry_name.h"
#include "launcher/manifest.h"
#include "launcher/progress_math.h"

namespace kavuno::launcher {
namespace {

// The whole of a source of at most `limit` bytes; nothing when it is longer,
// unreadable or cut off.
std::optional<std::string> ReadAll(ByteSource& source, size_t limit) {
    std::string text;
    char chunk[4096];
    for (;;) {
        size_t read = 0;
        size_t want = std::min(sizeof chunk, limit + 1 - text.size());
        if (!source.Read(chunk, want, read)) return std::nullopt;
        if (read == 0) break;
        text.append(chunk, std::min(read, want));
        if (text.size() > limit) return std::nullopt;
    }
    if (!IsComplete(source, text.size())) return std::nullopt;
    return text;
}

// The verified list, or why there is none. An older list than the newest one
// accepted here is refused: a server cannot roll this machine back.
UpdateResult FetchList(UpdateServer& server, UpdateTrust& trust, UpdateProgress& progress, UpdateList& list) {
    std::unique_ptr<ByteSource> source = server.OpenList();
    if (progress.IsClosed()) return UpdateResult::kCancelled;
    if (!source) return UpdateResult::kFailed;
    std::optional<std::string> text = ReadAll(*source, kMaxUpdateListSize);
    if (!text) return UpdateResult::kRefused;
    std::string error;
    std::optional<SignedUpdateList> parsed = ParseUpdateList(*text, error);
    if (!parsed ||
        !trust.VerifySignature(std::string_view(*text).substr(0, parsed->signedLength), parsed->signature))
        return UpdateResult::kRefused;
    uint64_t accepted = trust.AcceptedSerial();
    if (parsed->list.serial < accepted) return UpdateResult::kRefused;
    if (parsed->list.serial > accepted) trust.Accept(parsed->list.serial);
    list = std::move(parsed->list);
    return UpdateResult::kDone;
}

// Whether the bytes received are the file: with a list, its exact size and
// hash; without, all that the server announced, and something when the
// manifest gives a size.
UpdateResult CheckReceived(const ByteSource& source, const ManifestEntry& entry, const ListedFile* listed,
                           Sha256* hash, uint64_t received) {
    if (listed)
        return received == listed->size && hash->Finish() == listed->sha256 ? UpdateResult::kDone
                                                                            : UpdateResult::kRefused;
    return IsComplete(source, received) && (received > 0 || entry.size <= 0) ? UpdateResult::kDone
                                                                             : UpdateResult::kFailed;
}

// One entry: its source, a local file, the bar. The local file is not created
// once the window is closing, even when the server answers only afterwards.
UpdateResult DownloadEntry(UpdateServer& server, UpdateFolder& folder, UpdateProgress& progress,
                           const ManifestEntry& entry, const ListedFile* listed, UpdateTrust* trust) {
    std::unique_ptr<ByteSource> source = server.OpenFile(entry.name);
    if (progress.IsClosed()) return UpdateResult::kCancelled;
    if (!source) return UpdateResult::kFailed;
    std::optional<uint64_t> announced = source->AnnouncedLength();
    if (listed && announced && *announced != listed->size) return UpdateResult::kRefused;
    std::unique_ptr<Sha256> hash;
    if (listed && !(hash = trust->NewSha256())) return UpdateResult::kFailed;
    std::unique_ptr<LocalFile> file = folder.Create(entry.name);
    if (!file) return UpdateResult::kFailed;
    progress.SetRange(entry.size);
    progress.SetPos(1);

    // With a list, reading stops one byte past the listed size: an endless
    // body cannot fill the disk.
    const uint64_t limit = listed ? listed->size + 1 : UINT64_MAX;
    char chunk[kProgressStep];
    uint64_t received = 0;
    for (;;) {
        if (progress.IsClosed()) return UpdateResult::kCancelled;  // leave the old file
        size_t want = static_cast<size_t>(std::min<uint64_t>(sizeof chunk, limit - received));
        if (want == 0) return UpdateResult::kRefused;  // longer than listed
        size_t read = 0;
        if (!source->Read(chunk, want, read)) return UpdateResult::kFailed;
        if (read == 0) break;
        read = std::min(read, want);
        // The bar moves a whole step per read, before the bytes are written.
        progress.SetPos(NextProgressPosition(progress.GetPos()));
        if (hash) hash->Update(chunk, read);
        if (!file->Write(chunk, read)) return UpdateResult::kFailed;
        received += read;
    }
    UpdateResult checked = CheckReceived(*source, entry, listed, hash.get(), received);
    if (checked != UpdateResult::kDone) return checked;
    if (!progress.BeginCommit()) return UpdateResult::kCancelled;
    bool committed = file->Commit();
    progress.EndCommit();
    return committed ? UpdateResult::kDone : UpdateResult::kFailed;
}

UpdateResult Update(UpdateServer& server, UpdateFolder& folder, UpdateProgress& progress, UpdateTrust* trust) {
    folder.RemoveLeftovers();
    std::optional<UpdateList> list;
    if (trust) {
        UpdateResult fetched = FetchList(server, *trust, progress, list.emplace());
        if (fetched != UpdateResult::kDone) return fetched;
    }
    // The manifest stays open for the whole loop and is read as it goes.
    std::unique_ptr<ByteSource> manifestSource = server.OpenManifest();
    if (!manifestSource) return UpdateResult::kFailed;
    ManifestReader manifest(*manifestSource);
    std::vector<std::string> names;  // what this run may write, for the uninstaller
    UpdateResult result = UpdateResult::kDone;
    bool complete = false;
    for (;;) {
        std::optional<ManifestEntry> entry = manifest.NextEntry();
        if (!entry) {
            complete = !manifest.Failed();
            if (!complete) result = UpdateResult::kFailed;
            break;
        }
        if (progress.IsClosed()) {
            result = UpdateResult::kCancelled;
            break;
        }
        if (!IsSafeEntryName(entry->name)) continue;
        const ListedFile* listed = list ? list->Find(entry->name) : nullptr;
        if (list && !listed) {
            result = UpdateResult::kRefused;  // not published by the key's holder
            break;
        }
        names.push_back(entry->name);
        result = DownloadEntry(server, folder, progress, *entry, listed, trust);
        if (result != UpdateResult::kDone) break;
    }
    // A closed window means nothing more is written, not even this.
    if (result != UpdateResult::kCancelled) folder.RecordFiles(names, complete);
    return result;
}

}  // namespace

UpdateResult RunUpdate(UpdateServer& server, UpdateFolder& folder, UpdateProgress& progress,
                       UpdateTrust* trust) noexcept {
    try {
        return Update(server, folder, progress, trust);
    } catch (...) {
        // Whatever was open has been closed on the way out; a half-written
        // file went with its LocalFile.
        return UpdateResult::kException;
    }
}

}  // namespace kavuno::launcher
