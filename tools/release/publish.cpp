// kavuno-release publish: every file below SOURCE_DIR into SERVER_DIR, with
// the manifest and the signed list. Names are checked before anything is
// written; files are copied (and hashed as copied) under temporary names,
// then put in place, then the manifest, and the list last. A launcher that
// looks in between finds a list that does not match and replaces nothing.
#include <algorithm>
#include <chrono>
#include <fstream>
#include <system_error>
#include <vector>

#include "tools/catalog/file_io.h"
#include "tools/release/published_folder.h"
#include "tools/release/release_crypto.h"
#include "tools/release/release_commands.h"
#include "tools/release/release_tool.h"

namespace kavuno::release {
namespace {

namespace fs = std::filesystem;
using launcher::ListedFile;

struct SourceFile {
    fs::path path;
    std::string name;  // GBK manifest name
};

bool LowerEqual(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

bool CollectSources(const fs::path& source, std::vector<SourceFile>& files, std::string& error) {
    std::error_code ec;
    if (!fs::is_directory(source, ec)) {
        error = "not a folder: " + source.string();
        return false;
    }
    for (fs::recursive_directory_iterator it(source, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::directory_entry& entry = *it;
        if (entry.is_symlink(ec) && entry.is_directory(ec)) {
            error = "a linked folder is not followed: " + entry.path().string();
            return false;
        }
        if (entry.is_directory(ec)) continue;
        if (!entry.is_regular_file(ec)) {
            error = "not a regular file: " + entry.path().string();
            return false;
        }
        SourceFile file{entry.path(), {}};
        if (!ManifestName(entry.path().lexically_relative(source), file.name, error)) return false;
        files.push_back(std::move(file));
    }
    if (ec) {
        error = "cannot read " + source.string() + ": " + ec.message();
        return false;
    }
    std::sort(files.begin(), files.end(), [](const SourceFile& a, const SourceFile& b) { return a.name < b.name; });
    // Windows ignores case in names: two such files would be one there.
    for (size_t i = 0; i < files.size(); ++i)
        for (size_t j = i + 1; j < files.size(); ++j)
            if (LowerEqual(files[i].name, files[j].name)) {
                error = "two names differ only in case, one file on Windows: " + Printable(files[i].name) + ", " +
                        Printable(files[j].name);
                return false;
            }
    return true;
}

fs::path TemporaryOf(const fs::path& target) {
    fs::path temp = target;
    temp += ".kavuno-release-tmp";
    return temp;
}

// Copies `file` to the temporary name of its place on the server, hashing
// the bytes as they are copied.
bool CopyAndHash(const SourceFile& file, const fs::path& serverDir, ListedFile& listed, std::string& error) {
    fs::path target = ServedFilePath(serverDir, file.name);
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    std::ifstream in(file.path, std::ios::binary);
    std::ofstream out(TemporaryOf(target), std::ios::binary | std::ios::trunc);
    if (ec || !in || !out) {
        error = "cannot copy " + file.path.string() + " to " + target.string();
        return false;
    }
    Sha256Stream hash;
    listed = ListedFile{file.name, 0, {}};
    char buffer[1 << 16];
    while (in) {
        in.read(buffer, sizeof buffer);
        std::streamsize got = in.gcount();
        if (got <= 0) break;
        hash.Update(buffer, static_cast<size_t>(got));
        out.write(buffer, got);
        listed.size += static_cast<uint64_t>(got);
    }
    out.close();
    if (in.bad() || !out) {
        error = "cannot copy " + file.path.string() + " to " + target.string();
        return false;
    }
    listed.sha256 = hash.Finish();
    return true;
}

void RemoveTemporaries(const std::vector<SourceFile>& files, const fs::path& serverDir) {
    std::error_code ignored;
    for (const SourceFile& file : files) fs::remove(TemporaryOf(ServedFilePath(serverDir, file.name)), ignored);
}

}  // namespace

int RunPublish(const PublishRequest& request, std::ostream& out, std::ostream& err) {
    std::string error;
    std::optional<EcKey> key = EcKey::LoadPrivate(request.privateKey, error);
    std::vector<SourceFile> sources;
    if (!key || !CollectSources(tool::PathFromUtf8(request.sourceDir), sources, error)) {
        err << "kavuno-release: " << error << "; nothing was written\n";
        return kExitFailed;
    }
    const uint64_t now = NowSeconds();
    uint64_t serial = request.serial.value_or(now);
    // A launcher that took a newer list refuses an older one; one dated far
    // ahead would lock out every release until then.
    std::optional<launcher::UpdateList> previous = PublishedList(request.serverDir);
    if (previous && serial < previous->serial) {
        err << "kavuno-release: serial " << serial << " is lower than " << previous->serial
            << " of the list already in " << request.serverDir << "; nothing was written\n";
        return kExitFailed;
    }
    if (serial > now + kMaxSerialAheadSeconds) {
        err << "kavuno-release: serial " << serial << " is more than a day ahead of the clock (" << now
            << "); nothing was written\n";
        return kExitFailed;
    }
    if (!launcher::IsKnownTarget(request.target)) {
        err << "kavuno-release: --target must be win32 or win64; nothing was written\n";
        return kExitFailed;
    }
    const uint64_t expires = now + request.expiresDays * 24 * 60 * 60;

    fs::path serverDir = tool::PathFromUtf8(request.serverDir);
    std::error_code ec;
    fs::create_directories(ManifestPath(serverDir).parent_path(), ec);
    std::vector<ListedFile> listed(sources.size());
    for (size_t i = 0; i < sources.size(); ++i) {
        if (!CopyAndHash(sources[i], serverDir, listed[i], error)) {
            RemoveTemporaries(sources, serverDir);
            err << "kavuno-release: " << error << "; nothing was published\n";
            return kExitFailed;
        }
    }
    std::string body = launcher::FormatUpdateListBody(serial, expires, request.target, listed);
    std::optional<launcher::EcdsaSignature> signature = key->Sign(body);
    if (!signature) {
        RemoveTemporaries(sources, serverDir);
        err << "kavuno-release: cannot sign the list; nothing was published\n";
        return kExitFailed;
    }
    for (const SourceFile& file : sources) {
        fs::path target = ServedFilePath(serverDir, file.name);
        fs::rename(TemporaryOf(target), target, ec);
        if (ec) {
            RemoveTemporaries(sources, serverDir);
            err << "kavuno-release: cannot put " << target.string() << " in place: " << ec.message() << '\n';
            return kExitFailed;
        }
    }
    if (!tool::WriteFileAtomically(ManifestPath(serverDir).string(), ManifestText(listed), error) ||
        !tool::WriteFileAtomically(ListPath(serverDir).string(), body + launcher::FormatSignatureLine(*signature),
                                   error)) {
        err << "kavuno-release: " << error << '\n';
        return kExitFailed;
    }
    out << "published " << listed.size() << " files, serial " << serial << ", for " << request.target
        << ", expiring in " << request.expiresDays << " days, to " << request.serverDir << '\n';
    return kExitOk;
}

uint64_t NowSeconds() {
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count());
}

std::optional<launcher::UpdateList> PublishedList(const std::string& serverDir) {
    std::string text, error;
    if (!tool::ReadWholeFile(ListPath(tool::PathFromUtf8(serverDir)).string(), text, error)) return std::nullopt;
    std::optional<launcher::SignedUpdateList> parsed = launcher::ParseUpdateList(text, error);
    if (!parsed) return std::nullopt;
    return std::move(parsed->list);
}

int RunKeygen(const std::string& privateKey, const std::string& publicKey, std::ostream& out, std::ostream& err) {
    std::string error;
    if (!GenerateKeyPair(privateKey, publicKey, error)) {
        err << "kavuno-release: " << error << '\n';
        return kExitFailed;
    }
    out << "private key " << privateKey << " (keep it secret), public key " << publicKey << '\n';
    return kExitOk;
}

}  // namespace kavuno::release
