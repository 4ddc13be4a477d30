// Fuzz entry of what the launcher reads from the network before trusting it:
// any bytes, as a manifest (through short reads), each of its names through
// the entry-name check and into an address, and the same bytes as a signed
// file list. Nothing may crash, addresses stay plain ASCII, a list that
// parses is exactly what the writer makes of its contents, and the names
// noted for the uninstaller read back as written.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "launcher/entry_name.h"
#include "launcher/installed_files.h"
#include "launcher/manifest.h"
#include "launcher/update_list.h"

namespace {

using namespace kavuno::launcher;

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "update fuzz check failed: %s\n", what);
        std::abort();
    }
}

// The bytes in reads of 1 to 7 bytes, as a slow network gives them.
class ChoppySource : public ByteSource {
public:
    explicit ChoppySource(std::string_view bytes) : bytes_(bytes) {}
    bool Read(char* buffer, size_t size, size_t& read) override {
        read = std::min({size, bytes_.size() - pos_, 1 + pos_ % 7});
        std::copy_n(bytes_.data() + pos_, read, buffer);
        pos_ += read;
        return true;
    }

private:
    std::string_view bytes_;
    size_t pos_ = 0;
};

void CheckAddress(std::string_view name) {
    std::string path = EntryAddressPath(name);
    for (size_t i = 0; i < path.size(); ++i) {
        auto c = static_cast<unsigned char>(path[i]);
        Check(c > 0x20 && c < 0x7F && c != '#' && c != '?' && c != '\\', "address byte not plain");
        if (c == '%')
            Check(i + 2 < path.size() && std::isxdigit(static_cast<unsigned char>(path[i + 1])) &&
                      std::isxdigit(static_cast<unsigned char>(path[i + 2])),
                  "lone percent sign");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    ChoppySource source(bytes);
    ManifestReader manifest(source);
    std::vector<std::string> safe;
    int entries = 0;
    while (std::optional<ManifestEntry> entry = manifest.NextEntry()) {
        Check(++entries <= static_cast<int>(size), "more entries than bytes");
        Check(entry->name.find('\n') == std::string::npos && entry->name.find('\r') == std::string::npos,
              "a line end inside a name");
        CheckAddress(entry->name);
        if (IsSafeEntryName(entry->name)) safe.push_back(entry->name);
    }
    std::string installed = InstalledFilesText(safe);
    Check(ParseInstalledFiles(installed).size() <= safe.size(), "installed files grew");
    Check(ParseInstalledFiles(InstalledFilesText({}, installed)) == ParseInstalledFiles(installed),
          "installed files do not read back");

    std::string error;
    std::optional<SignedUpdateList> list = ParseUpdateList(bytes, error);
    Check(list.has_value() == error.empty(), "a list with an error, or a refusal without one");
    if (list) {
        Check(list->signedLength < size, "signature outside the list");
        Check(FormatUpdateListBody(list->list.serial, list->list.expires, list->list.target, list->list.files) ==
                  bytes.substr(0, list->signedLength),
              "the signed part is not what the writer makes of it");
        Check(FormatSignatureLine(list->signature) == bytes.substr(list->signedLength), "signature line differs");
        for (const ListedFile& file : list->list.files) Check(list->list.Find(file.name) == &file, "lookup misses");
    }
    return 0;
}
