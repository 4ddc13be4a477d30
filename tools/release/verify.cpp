// kavuno-release verify: whether a published folder is what a launcher with
// the public key will accept, one line per problem, so a deployment script
// can stop on the exit status.
#include <algorithm>
#include <ctime>
#include <fstream>
#include <map>
#include <set>
#include <system_error>

#include "launcher/entry_name.h"
#include "launcher/manifest.h"
#include "tools/catalog/file_io.h"
#include "tools/release/published_folder.h"
#include "tools/release/release_commands.h"
#include "tools/release/release_crypto.h"
#include "tools/release/release_tool.h"

namespace kavuno::release {
namespace {

namespace fs = std::filesystem;
using launcher::ListedFile;

class TextSource : public launcher::ByteSource {
public:
    explicit TextSource(std::string_view text) : text_(text) {}
    bool Read(char* buffer, size_t size, size_t& read) override {
        read = text_.copy(buffer, size, pos_);
        pos_ += read;
        return true;
    }

private:
    std::string_view text_;
    size_t pos_ = 0;
};

// The size and SHA-256 of a file on the server; false when it cannot be read.
bool HashFile(const fs::path& path, uint64_t& size, launcher::Sha256Digest& digest) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    Sha256Stream hash;
    size = 0;
    char buffer[1 << 16];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        hash.Update(buffer, static_cast<size_t>(in.gcount()));
        size += static_cast<uint64_t>(in.gcount());
    }
    if (in.bad()) return false;
    digest = hash.Finish();
    return true;
}

class Report {
public:
    explicit Report(std::ostream& out) : out_(out) {}
    void Problem(const std::string& line) {
        out_ << line << '\n';
        ++count_;
    }
    int count() const { return count_; }

private:
    std::ostream& out_;
    int count_ = 0;
};

void CheckManifest(const std::string& text, const launcher::UpdateList& list, Report& report) {
    std::set<std::string> named;
    TextSource source(text);
    launcher::ManifestReader manifest(source);
    int entries = 0;
    while (std::optional<launcher::ManifestEntry> entry = manifest.NextEntry()) {
        ++entries;
        std::string where = "update.txt: entry " + std::to_string(entries) + " (" + Printable(entry->name) + "): ";
        if (!named.insert(entry->name).second) report.Problem(where + "listed twice");
        if (!launcher::IsSafeEntryName(entry->name)) {
            report.Problem(where + "the launcher refuses the name");
            continue;
        }
        const ListedFile* listed = list.Find(entry->name);
        if (!listed)
            report.Problem(where + "not in update.sig: the launcher updates nothing");
        else if (entry->size < 0 || static_cast<uint64_t>(entry->size) != listed->size)
            report.Problem(where + "size " + std::to_string(entry->size) + ", update.sig lists " +
                           std::to_string(listed->size));
    }
    int promised = launcher::ParseLeadingNumber(text.substr(0, text.find('\n')));
    if (promised != entries)
        report.Problem("update.txt: promises " + std::to_string(promised) + " entries, holds " +
                       std::to_string(entries));
    for (const ListedFile& file : list.files)
        if (!named.count(file.name)) report.Problem("update.sig: " + Printable(file.name) + ": not in update.txt");
}

void CheckFiles(const fs::path& serverDir, const launcher::UpdateList& list, Report& report) {
    for (const ListedFile& file : list.files) {
        uint64_t size = 0;
        launcher::Sha256Digest digest{};
        std::string where = "file/" + Printable(file.name) + ": ";
        if (!HashFile(ServedFilePath(serverDir, file.name), size, digest))
            report.Problem(where + "missing or unreadable");
        else if (size != file.size)
            report.Problem(where + std::to_string(size) + " bytes, update.sig lists " + std::to_string(file.size));
        else if (digest != file.sha256)
            report.Problem(where + "SHA-256 differs from update.sig");
    }
}

// Seconds since 1970 as "2026-12-07 23:40 UTC".
std::string UtcTime(uint64_t seconds) {
    std::time_t time = static_cast<std::time_t>(std::min<uint64_t>(seconds, 253402300799u));  // year 9999 at most
    std::tm parts{};
    gmtime_r(&time, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M UTC", &parts);
    return text;
}

// A span of time in whole days, or hours below two days, rounded.
std::string Age(uint64_t seconds) {
    if (seconds >= 2 * 86400 - 43200) return std::to_string((seconds + 43200) / 86400) + " days";
    return std::to_string((seconds + 1800) / 3600) + " hours";
}

}  // namespace

int RunVerify(const std::string& serverDirText, const std::string& publicKey, std::ostream& out, std::ostream& err) {
    std::string error;
    std::optional<EcKey> key = EcKey::LoadPublic(publicKey, error);
    if (!key) {
        err << "kavuno-release: " << error << '\n';
        return kExitFailed;
    }
    fs::path serverDir = tool::PathFromUtf8(serverDirText);
    Report report(out);
    std::string listText, manifestText;
    if (!tool::ReadWholeFile(ListPath(serverDir).string(), listText, error)) {
        report.Problem("update.sig: " + error);
        return kExitFailed;
    }
    std::optional<launcher::SignedUpdateList> signedList = launcher::ParseUpdateList(listText, error);
    if (!signedList) {
        report.Problem("update.sig: " + error);
        return kExitFailed;
    }
    if (!key->Verify(std::string_view(listText).substr(0, signedList->signedLength), signedList->signature))
        report.Problem("update.sig: the signature is not good for " + publicKey);
    if (tool::ReadWholeFile(ManifestPath(serverDir).string(), manifestText, error))
        CheckManifest(manifestText, signedList->list, report);
    else
        report.Problem("update.txt: " + error);
    CheckFiles(serverDir, signedList->list, report);
    const launcher::UpdateList& list = signedList->list;
    const uint64_t now = NowSeconds();
    if (list.expires <= now)
        report.Problem("update.sig: expired " + Age(now - list.expires) + " ago (" + UtcTime(list.expires) +
                       "): publish it again");
    if (list.serial > now + kMaxSerialAheadSeconds)
        report.Problem("update.sig: serial " + std::to_string(list.serial) + " is more than a day ahead of the clock");
    if (report.count() > 0) return kExitFailed;
    if (list.expires - now < kExpiryWarningSeconds)
        out << "warning: update.sig expires in " << Age(list.expires - now) << ": publish it again before "
            << UtcTime(list.expires) << '\n';
    out << "ok: " << list.files.size() << " files for " << list.target << ", serial " << list.serial << " ("
        << UtcTime(list.serial) << "), expires " << UtcTime(list.expires) << " (in " << Age(list.expires - now)
        << ")\n";
    return kExitOk;
}

}  // namespace kavuno::release
