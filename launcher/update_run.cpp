#include "launcher/update_run.h"

#include "launcher/entry_name.h"
#include "launcher/manifest.h"
#include "launcher/progress_math.h"

namespace kavuno::launcher {
namespace {

// One entry: its source, a local file, the bar. The local file is not created
// once the window is closing, even when the server answers only afterwards.
UpdateResult DownloadEntry(UpdateServer& server, UpdateFolder& folder, UpdateProgress& progress,
                           const ManifestEntry& entry) {
    std::unique_ptr<ByteSource> source = server.OpenFile(entry.name);
    if (progress.IsClosed()) return UpdateResult::kCancelled;
    if (!source) return UpdateResult::kFailed;
    std::unique_ptr<LocalFile> file = folder.Create(entry.name);
    if (!file) return UpdateResult::kFailed;
    progress.SetRange(entry.size);
    progress.SetPos(1);

    char chunk[kProgressStep];
    uint64_t received = 0;
    for (;;) {
        if (progress.IsClosed()) return UpdateResult::kCancelled;  // leave the old file
        size_t read = 0;
        if (!source->Read(chunk, sizeof chunk, read)) return UpdateResult::kFailed;
        if (read == 0) break;
        // The bar moves a whole step per read, before the bytes are written.
        progress.SetPos(NextProgressPosition(progress.GetPos()));
        if (!file->Write(chunk, read)) return UpdateResult::kFailed;
        received += read;
    }
    if (!IsComplete(*source, received) || !file->Commit()) return UpdateResult::kFailed;
    return UpdateResult::kDone;
}

UpdateResult Update(UpdateServer& server, UpdateFolder& folder, UpdateProgress& progress) {
    folder.RemoveLeftovers();
    // The manifest stays open for the whole loop and is read as it goes.
    std::unique_ptr<ByteSource> manifestSource = server.OpenManifest();
    if (!manifestSource) return UpdateResult::kFailed;
    ManifestReader manifest(*manifestSource);
    while (std::optional<ManifestEntry> entry = manifest.NextEntry()) {
        if (progress.IsClosed()) return UpdateResult::kCancelled;
        if (!IsSafeEntryName(entry->name)) continue;
        UpdateResult result = DownloadEntry(server, folder, progress, *entry);
        if (result != UpdateResult::kDone) return result;
    }
    return manifest.Failed() ? UpdateResult::kFailed : UpdateResult::kDone;
}

}  // namespace

UpdateResult RunUpdate(UpdateServer& server, UpdateFolder& folder, UpdateProgress& progress) noexcept {
    try {
        return Update(server, folder, progress);
    } catch (...) {
        // Whatever was open has been closed on the way out; a half-written
        // file went with its LocalFile.
        return UpdateResult::kException;
    }
}

}  // namespace kavuno::launcher
