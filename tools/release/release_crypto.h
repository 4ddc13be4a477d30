// The operator's cryptography, through OpenSSL's libcrypto: ECDSA P-256 key
// pairs in PEM files, signatures in the update list's raw r‖s form, SHA-256.
// Native only: the launcher verifies with Windows CNG instead.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "launcher/update_list.h"

typedef struct evp_pkey_st EVP_PKEY;

namespace kavuno::release {

using launcher::EcdsaSignature;
using launcher::Sha256Digest;

// A P-256 key read from a PEM file: the private key (which can also verify)
// or the public one.
class EcKey {
public:
    // Nothing, with `error` set, when the file is missing or holds anything
    // but an ECDSA P-256 key of that kind.
    static std::optional<EcKey> LoadPrivate(const std::string& path, std::string& error);
    static std::optional<EcKey> LoadPublic(const std::string& path, std::string& error);

    // ECDSA with SHA-256; nothing when libcrypto fails.
    std::optional<EcdsaSignature> Sign(std::string_view message) const;
    bool Verify(std::string_view message, const EcdsaSignature& signature) const;
    // The public point X‖Y, as the launcher embeds it.
    std::optional<std::array<uint8_t, 64>> PublicPoint() const;

    struct Free {
        void operator()(EVP_PKEY* key) const;
    };

private:
    explicit EcKey(EVP_PKEY* key) : key_(key, Free()) {}
    std::shared_ptr<EVP_PKEY> key_;
};

// Writes a new key pair: the private key readable by its owner only. Refuses
// to replace an existing file, so a key in use is never lost.
bool GenerateKeyPair(const std::string& privatePath, const std::string& publicPath, std::string& error);

// SHA-256 fed in pieces.
class Sha256Stream {
public:
    Sha256Stream();
    ~Sha256Stream();
    Sha256Stream(const Sha256Stream&) = delete;
    Sha256Stream& operator=(const Sha256Stream&) = delete;
    void Update(const void* data, size_t size);
    Sha256Digest Finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};

Sha256Digest Sha256Of(std::string_view bytes);

}  // namespace kavuno::release
