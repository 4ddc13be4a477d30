// The update itself, apart from the network, the disk and the window it
// reports to: fetch the manifest, and download every file it lists into the
// launcher's folder, one at a time, moving the progress bar per read.
// Window-free, so it is tested natively; update_worker.cpp gives it WinINet,
// staged files and the window's progress bar.
#pragma once
#include <memory>
#include <string>

#include "launcher/byte_source.h"

namespace kavuno::launcher {

// The update server. Each source stays open, with whatever it needs (its
// internet session), for as long as the updater holds it.
class UpdateServer {
public:
    virtual ~UpdateServer() = default;
    // The manifest; nothing when it cannot be opened or the server refused it.
    virtual std::unique_ptr<ByteSource> OpenManifest() = 0;
    // The file of manifest entry `gbkName`, in a session of its own.
    virtual std::unique_ptr<ByteSource> OpenFile(const std::string& gbkName) = 0;
};

// A file being downloaded. It replaces its target only on Commit(); destroyed
// without a commit it leaves the old file as it was and nothing beside it.
class LocalFile {
public:
    virtual ~LocalFile() = default;
    virtual bool Write(const char* data, size_t size) = 0;
    virtual bool Commit() = 0;
};

// The launcher's folder.
class UpdateFolder {
public:
    virtual ~UpdateFolder() = default;
    // Removes the temporary files that an interrupted earlier run left.
    virtual void RemoveLeftovers() = 0;
    // A new local file for entry `gbkName`; nothing when it cannot be created.
    virtual std::unique_ptr<LocalFile> Create(const std::string& gbkName) = 0;
};

// The window's progress bar, and whether the window is closing.
class UpdateProgress {
public:
    virtual ~UpdateProgress() = default;
    virtual bool IsClosed() const = 0;
    virtual void SetRange(int size) = 0;  // range 1..size
    virtual void SetPos(int position) = 0;
    virtual int GetPos() = 0;
};

// How an update ended.
enum class UpdateResult {
    kDone,       // every listed entry is in place (unsafe names skipped)
    kFailed,     // a manifest, file or local write failed: later entries were not attempted
    kCancelled,  // the window closed; nothing was created after that
    kException,  // something threw (out of memory, say) and was caught here
};

// The whole update. Files already replaced stay replaced whatever happens
// later. Never throws: this is the worker thread's boundary, and the player
// must start whatever goes wrong here.
UpdateResult RunUpdate(UpdateServer& server, UpdateFolder& folder, UpdateProgress& progress) noexcept;

}  // namespace kavuno::launcher
