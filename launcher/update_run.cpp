#include "launcher/update_run.h"

#include <algorithm>
#include <optional>

#include <set>

#include "launcher/entry_name.h"
#include "launcher/manifest.h"
#include "launcher/progress_math.h"
#include "launcher/transfer_rate.h"

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

// A source opened through `progress`'s clock, so the slow-transfer rule applies.
std::unique_ptr<ByteSource> RateChecked(std::unique_ptr<ByteSource> source, UpdateProgress& progress) {
    if (!source) return nullptr;
    return std::make_unique<RateCheckedSource>(std::move(source), [&progress] { return progress.Milliseconds(); });
}

// Whether a verified list may be used here: not expired, for this build, and
// not older than the floor or the newest list accepted here. A server cannot
// roll this machine back, or freeze it on a release for longer than the
// publisher signed it for.
bool IsAcceptable(const UpdateList& list, UpdateTrust& trust) {
    return list.expires > trust.Now() && list.target == trust.Target() && list.serial >= trust.MinSerial() &&
           list.serial >= trust.AcceptedSerial();
}

// The verified list, or why there is none.
UpdateResult FetchList(UpdateServer& server, UpdateTrust& trust, UpdateProgress& progress, UpdateList& list) {
    std::unique_ptr<ByteSource> source = RateChecked(server.OpenList(), progress);
    if (progress.IsClosed()) return UpdateResult::kCancelled;
    if (!source) return UpdateResult::kFailed;
    std::optional<std::string> text = ReadAll(*source, kMaxUpdateListSize);
    if (!text) return UpdateResult::kRefused;
    std::string error;
    std::optional<SignedUpdateList> parsed = ParseUpdateList(*text, error);
    if (!parsed || !trust.VerifySignature(std::string_view(*text).substr(0, parsed->signedLength), parsed->signature) ||
        !IsAcceptable(parsed->list, trust))
        return UpdateResult::kRefused;
    if (parsed->list.serial > trust.AcceptedSerial()) trust.Accept(parsed->list.serial);
    list = std::move(parsed->list);
    return UpdateResult::kDone;
}

// The whole manifest, when it names exactly the files of `list`, each once,
// every name one the launcher takes; nothing is fetched otherwise, so a server
// cannot hold back one file of a release or mix in one of another.
UpdateResult ReadAgreeingManifest(ManifestReader& manifest, const UpdateList& list,
                                  std::vector<ManifestEntry>& entries) {
    std::set<std::string_view> named;
    while (std::optional<ManifestEntry> entry = manifest.NextEntry()) {
        if (!IsSafeEntryName(entry->name) || !list.Find(entry->name)) return UpdateResult::kRefused;
        entries.push_back(std::move(*entry));
        if (!named.insert(list.Find(entries.back().name)->name).second) return UpdateResult::kRefused;
    }
    if (manifest.Oversized()) return UpdateResult::kRefused;
    if (manifest.Failed()) return UpdateResult::kFailed;
    return named.size() == list.files.size() ? UpdateResult::kDone : UpdateResult::kRefused;
}

// Whether the bytes received are the file: with a list, its exact size and
// hash; without, all that the server announced, and something when the
// manifest gives a size.
UpdateResult CheckReceived(const ByteSource& source, const ManifestEntry& entry, const ListedFile* listed, Sha256* hash,
                           uint64_t received) {
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
    std::unique_ptr<ByteSource> source = RateChecked(server.OpenFile(entry.name), progress);
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
    if (committed) folder.RecordCommitted(entry.name);
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
    // The manifest stays open for the whole loop.
    std::unique_ptr<ByteSource> manifestSource = RateChecked(server.OpenManifest(), progress);
    if (!manifestSource) return UpdateResult::kFailed;
    ManifestReader manifest(*manifestSource);
    if (list) {
        std::vector<ManifestEntry> entries;
        UpdateResult agreed = ReadAgreeingManifest(manifest, *list, entries);
        if (agreed != UpdateResult::kDone) return agreed;
        for (const ManifestEntry& entry : entries) {
            if (progress.IsClosed()) return UpdateResult::kCancelled;
            UpdateResult result = DownloadEntry(server, folder, progress, entry, list->Find(entry.name), trust);
            if (result != UpdateResult::kDone) return result;
        }
        return UpdateResult::kDone;
    }
    // Without a list the manifest is read as the loop goes.
    for (;;) {
        std::optional<ManifestEntry> entry = manifest.NextEntry();
        if (!entry) {
            if (manifest.Oversized()) return UpdateResult::kRefused;
            return manifest.Failed() ? UpdateResult::kFailed : UpdateResult::kDone;
        }
        if (progress.IsClosed()) return UpdateResult::kCancelled;
        if (!IsSafeEntryName(entry->name)) continue;
        UpdateResult result = DownloadEntry(server, folder, progress, *entry, nullptr, trust);
        if (result != UpdateResult::kDone) return result;
    }
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
