// A signing key made once per test program, and lists signed with it, for
// the native tests of the update list and the update's checks.
#pragma once
#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "launcher/update_list.h"
#include "tools/release/release_crypto.h"

namespace kavuno::launcher::testing {

inline const release::EcKey& TestSigningKey() {
    static const release::EcKey key = [] {
        char dir[] = "/tmp/kavuno-key-XXXXXX";
        if (!mkdtemp(dir)) throw std::runtime_error("mkdtemp failed");
        std::string error, priv = std::string(dir) + "/k.key", pub = std::string(dir) + "/k.pub";
        std::optional<release::EcKey> loaded;
        if (release::GenerateKeyPair(priv, pub, error)) loaded = release::EcKey::LoadPrivate(priv, error);
        std::filesystem::remove_all(dir);
        if (!loaded) throw std::runtime_error(error);
        return *loaded;
    }();
    return key;
}

inline ListedFile Listed(std::string name, const std::string& content) {
    return ListedFile{std::move(name), content.size(), release::Sha256Of(content)};
}

// A list of `files` at `serial`, signed with the test key; by default for
// win64, expiring in 2096.
inline std::string SignedList(uint64_t serial, const std::vector<ListedFile>& files, uint64_t expires = 4000000000,
                              std::string_view target = "win64") {
    std::string body = FormatUpdateListBody(serial, expires, target, files);
    return body + FormatSignatureLine(*TestSigningKey().Sign(body));
}

}  // namespace kavuno::launcher::testing
