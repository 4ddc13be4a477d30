#include "tools/release/release_crypto.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/ec.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

namespace kavuno::release {
namespace {

std::string OpenSslError() {
    unsigned long code = ERR_get_error();
    if (code == 0) return "libcrypto failed";
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    ERR_clear_error();
    return text;
}

bool IsP256(EVP_PKEY* key) {
    char group[64] = {};
    size_t length = 0;
    return EVP_PKEY_is_a(key, "EC") &&
           EVP_PKEY_get_utf8_string_param(key, OSSL_PKEY_PARAM_GROUP_NAME, group, sizeof group, &length) &&
           std::strcmp(group, "prime256v1") == 0;
}

struct BioFree {
    void operator()(BIO* bio) const { BIO_free(bio); }
};
struct MdCtxFree {
    void operator()(EVP_MD_CTX* ctx) const { EVP_MD_CTX_free(ctx); }
};
struct SigFree {
    void operator()(ECDSA_SIG* sig) const { ECDSA_SIG_free(sig); }
};

EVP_PKEY* ReadKey(const std::string& path, bool privateKey, std::string& error) {
    std::unique_ptr<BIO, BioFree> bio(BIO_new_file(path.c_str(), "r"));
    if (!bio) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        ERR_clear_error();
        return nullptr;
    }
    EVP_PKEY* key = privateKey ? PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr)
                               : PEM_read_bio_PUBKEY(bio.get(), nullptr, nullptr, nullptr);
    if (!key) {
        error = path + " holds no PEM " + (privateKey ? "private" : "public") + " key";
        ERR_clear_error();
        return nullptr;
    }
    if (!IsP256(key)) {
        EVP_PKEY_free(key);
        error = path + " is not an ECDSA P-256 key";
        return nullptr;
    }
    return key;
}

// Creates `path` for the key's text, never over an existing file.
bool WriteNewFile(const std::string& path, const std::string& text, mode_t mode, std::string& error) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    bool ok = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ok = fsync(fd) == 0 && ok;
    ok = close(fd) == 0 && ok;
    if (!ok) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        unlink(path.c_str());
    }
    return ok;
}

std::string PemText(EVP_PKEY* key, bool privateKey) {
    std::unique_ptr<BIO, BioFree> bio(BIO_new(BIO_s_mem()));
    if (!bio) return {};
    int ok = privateKey ? PEM_write_bio_PrivateKey(bio.get(), key, nullptr, nullptr, 0, nullptr, nullptr)
                        : PEM_write_bio_PUBKEY(bio.get(), key);
    if (!ok) return {};
    char* data = nullptr;
    long length = BIO_get_mem_data(bio.get(), &data);
    return std::string(data, static_cast<size_t>(length));
}

}  // namespace

void EcKey::Free::operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }

std::optional<EcKey> EcKey::LoadPrivate(const std::string& path, std::string& error) {
    EVP_PKEY* key = ReadKey(path, true, error);
    if (!key) return std::nullopt;
    return EcKey(key);
}

std::optional<EcKey> EcKey::LoadPublic(const std::string& path, std::string& error) {
    EVP_PKEY* key = ReadKey(path, false, error);
    if (!key) return std::nullopt;
    return EcKey(key);
}

std::optional<EcdsaSignature> EcKey::Sign(std::string_view message) const {
    std::unique_ptr<EVP_MD_CTX, MdCtxFree> ctx(EVP_MD_CTX_new());
    unsigned char der[128];
    size_t derLength = sizeof der;
    if (!ctx || EVP_DigestSignInit(ctx.get(), nullptr, EVP_sha256(), nullptr, key_.get()) != 1 ||
        EVP_DigestSign(ctx.get(), der, &derLength, reinterpret_cast<const unsigned char*>(message.data()),
                       message.size()) != 1) {
        ERR_clear_error();
        return std::nullopt;
    }
    // libcrypto writes DER (a SEQUENCE of two INTEGERs); the list holds r‖s.
    const unsigned char* p = der;
    std::unique_ptr<ECDSA_SIG, SigFree> sig(d2i_ECDSA_SIG(nullptr, &p, static_cast<long>(derLength)));
    if (!sig) return std::nullopt;
    EcdsaSignature raw{};
    if (BN_bn2binpad(ECDSA_SIG_get0_r(sig.get()), raw.data(), 32) != 32 ||
        BN_bn2binpad(ECDSA_SIG_get0_s(sig.get()), raw.data() + 32, 32) != 32)
        return std::nullopt;
    return raw;
}

bool EcKey::Verify(std::string_view message, const EcdsaSignature& signature) const {
    std::unique_ptr<ECDSA_SIG, SigFree> sig(ECDSA_SIG_new());
    BIGNUM* r = BN_bin2bn(signature.data(), 32, nullptr);
    BIGNUM* s = BN_bin2bn(signature.data() + 32, 32, nullptr);
    if (!sig || !r || !s || ECDSA_SIG_set0(sig.get(), r, s) != 1) {
        BN_free(r);
        BN_free(s);
        return false;
    }
    unsigned char* der = nullptr;
    int derLength = i2d_ECDSA_SIG(sig.get(), &der);
    if (derLength <= 0) return false;
    std::unique_ptr<EVP_MD_CTX, MdCtxFree> ctx(EVP_MD_CTX_new());
    bool ok = ctx && EVP_DigestVerifyInit(ctx.get(), nullptr, EVP_sha256(), nullptr, key_.get()) == 1 &&
              EVP_DigestVerify(ctx.get(), der, static_cast<size_t>(derLength),
                               reinterpret_cast<const unsigned char*>(message.data()), message.size()) == 1;
    OPENSSL_free(der);
    ERR_clear_error();
    return ok;
}

std::optional<std::array<uint8_t, 64>> EcKey::PublicPoint() const {
    unsigned char point[65];
    size_t length = 0;
    if (EVP_PKEY_get_octet_string_param(key_.get(), OSSL_PKEY_PARAM_PUB_KEY, point, sizeof point, &length) != 1 ||
        length != 65 || point[0] != 4) {
        ERR_clear_error();
        return std::nullopt;
    }
    std::array<uint8_t, 64> xy{};
    std::memcpy(xy.data(), point + 1, 64);
    return xy;
}

bool GenerateKeyPair(const std::string& privatePath, const std::string& publicPath, std::string& error) {
    std::unique_ptr<EVP_PKEY, EcKey::Free> key(EVP_EC_gen("P-256"));
    if (!key) {
        error = "cannot generate a key: " + OpenSslError();
        return false;
    }
    std::string privateText = PemText(key.get(), true);
    std::string publicText = PemText(key.get(), false);
    if (privateText.empty() || publicText.empty()) {
        error = "cannot write the key: " + OpenSslError();
        return false;
    }
    if (access(publicPath.c_str(), F_OK) == 0) {
        error = "cannot create " + publicPath + ": " + std::strerror(EEXIST);
        return false;
    }
    if (!WriteNewFile(privatePath, privateText, 0600, error)) return false;
    if (!WriteNewFile(publicPath, publicText, 0644, error)) {
        unlink(privatePath.c_str());
        return false;
    }
    return true;
}

struct Sha256Stream::State {
    std::unique_ptr<EVP_MD_CTX, MdCtxFree> ctx{EVP_MD_CTX_new()};
};

Sha256Stream::Sha256Stream() : state_(std::make_unique<State>()) {
    if (!state_->ctx || EVP_DigestInit_ex(state_->ctx.get(), EVP_sha256(), nullptr) != 1)
        throw std::runtime_error("libcrypto cannot hash: " + OpenSslError());
}

Sha256Stream::~Sha256Stream() = default;

void Sha256Stream::Update(const void* data, size_t size) { EVP_DigestUpdate(state_->ctx.get(), data, size); }

Sha256Digest Sha256Stream::Finish() {
    Sha256Digest digest{};
    unsigned int length = 0;
    EVP_DigestFinal_ex(state_->ctx.get(), digest.data(), &length);
    return digest;
}

Sha256Digest Sha256Of(std::string_view bytes) {
    Sha256Stream stream;
    stream.Update(bytes.data(), bytes.size());
    return stream.Finish();
}

}  // namespace kavuno::release
