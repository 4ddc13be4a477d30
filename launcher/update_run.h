// The update itself, apart from the network, the disk and the window it
// reports to: check the signed file list, fetch the manifest, and download
// every file it lists into the launcher's folder, one at a time, moving the
// progress bar per read. Window-free, so it is tested natively;
// update_worker.cpp gives it WinINet, CNG, staged files and the window's
// progress bar.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "launcher/byte_source.h"
#include "launcher/update_list.h"

namespace kavuno::launcher {

// The update server. Each source stays open, with whatever it needs (its
// internet session), for as long as the updater holds it. Every open gives
// nothing when the address cannot be opened or the server did not answer 200.
class UpdateServer {
public:
    virtual ~UpdateServer() = default;
    // The signed file list "update.sig".
    virtual std::unique_ptr<ByteSource> OpenList() = 0;
    // The manifest "update.txt".
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
    // Adds `gbkName` to the names of files the launcher put there
    // (installed_files.h), right after its file was committed: the record
    // only grows, so no update, however short, makes the uninstaller forget
    // a file.
    virtual void RecordCommitted(const std::string& gbkName) = 0;
};

// The window's progress bar, and whether the window is closing.
class UpdateProgress {
public:
    virtual ~UpdateProgress() = default;
    virtual bool IsClosed() const = 0;
    virtual void SetRange(int size) = 0;  // range 1..size
    virtual void SetPos(int position) = 0;
    virtual int GetPos() = 0;
    // A commit runs between these two, and only when BeginCommit() says the
    // update still counts: a window that has given up on the update and
    // started the player must not see its files change afterwards.
    virtual bool BeginCommit() { return !IsClosed(); }
    virtual void EndCommit() {}
    // A monotonic clock in milliseconds, for the transfer rate's rule
    // (transfer_rate.h); one that stands still never finds a stall.
    virtual uint64_t Milliseconds() { return 0; }
};

// SHA-256 of a download as it arrives.
class Sha256 {
public:
    virtual ~Sha256() = default;
    virtual void Update(const char* data, size_t size) = 0;
    virtual Sha256Digest Finish() = 0;
};

// What a build with a public key trusts: its key (through the platform's
// cryptography), its target and floor serial, the clock, and this machine's
// record of the newest list it accepted.
class UpdateTrust {
public:
    virtual ~UpdateTrust() = default;
    // Whether `signature` is good for `message` and the build's key.
    virtual bool VerifySignature(std::string_view message, const EcdsaSignature& signature) = 0;
    // Nothing when the platform cannot hash.
    virtual std::unique_ptr<Sha256> NewSha256() = 0;
    // The serial of the newest list accepted here; 0 when none was.
    virtual uint64_t AcceptedSerial() = 0;
    virtual void Accept(uint64_t serial) = 0;
    // The lowest serial this build takes, whatever the record says: a lost
    // record cannot take a fresh install back below its own release.
    virtual uint64_t MinSerial() = 0;
    // "win32" or "win64": a list for the other build is refused.
    virtual std::string_view Target() = 0;
    // The time, UTC seconds: a list past its expiry is refused.
    virtual uint64_t Now() = 0;
};

// How an update ended.
enum class UpdateResult {
    kDone,       // every listed entry is in place (without a key, unsafe names skipped)
    kFailed,     // a list, manifest, file or local write failed or stalled: later entries were not attempted
    kRefused,    // the list, the manifest or a file is not what the publisher signed (or the list has
                 // expired, is for the other build, below the floor or older than the newest one
                 // accepted; or the manifest is too large): nothing more was replaced
    kCancelled,  // the window closed; nothing was created after that
    kException,  // something threw (out of memory, say) and was caught here
};

// The whole update. With `trust` (a build with a public key) the list comes
// first; the manifest must then name exactly the list's files, each once,
// before anything is fetched, and a download is committed only when its bytes
// have the listed size and SHA-256. Without it (a build
// for servers that publish no list) whatever the manifest lists is taken.
// Files already replaced stay replaced whatever happens later. Never throws:
// this is the worker thread's boundary, and the player must start whatever
// goes wrong here.
UpdateResult RunUpdate(UpdateServer& server, UpdateFolder& folder, UpdateProgress& progress,
                       UpdateTrust* trust = nullptr) noexcept;

}  // namespace kavuno::launcher
