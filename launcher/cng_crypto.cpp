#include "launcher/cng_crypto.h"

#include <climits>
#include <cstring>

namespace kavuno::launcher {
namespace {

bool Succeeded(NTSTATUS status) { return status >= 0; }

}  // namespace

CngProvider::CngProvider(const wchar_t* algorithm) {
    BCRYPT_ALG_HANDLE handle = nullptr;
    if (Succeeded(BCryptOpenAlgorithmProvider(&handle, algorithm, nullptr, 0))) handle_.Reset(handle);
}

CngSha256::CngSha256(const CngProvider& sha256) {
    // Windows Vista wants the caller's memory for the hash object.
    DWORD objectLength = 0;
    ULONG written = 0;
    if (!sha256.get() ||
        !Succeeded(BCryptGetProperty(sha256.get(), BCRYPT_OBJECT_LENGTH, reinterpret_cast<PUCHAR>(&objectLength),
                                     sizeof objectLength, &written, 0)))
        return;
    object_.resize(objectLength);
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (Succeeded(BCryptCreateHash(sha256.get(), &hash, object_.data(), objectLength, nullptr, 0, 0)))
        hash_.Reset(hash);
}

void CngSha256::Update(const char* data, size_t size) {
    // A download's reads are small; a length beyond ULONG never comes here.
    if (!ok() || size > ULONG_MAX) {
        failed_ = true;
        return;
    }
    auto* bytes = reinterpret_cast<PUCHAR>(const_cast<char*>(data));
    if (!Succeeded(BCryptHashData(hash_.get(), bytes, static_cast<ULONG>(size), 0))) failed_ = true;
}

Sha256Digest CngSha256::Finish() {
    Sha256Digest digest{};
    if (!ok() || !Succeeded(BCryptFinishHash(hash_.get(), digest.data(), static_cast<ULONG>(digest.size()), 0)))
        digest.fill(0);
    return digest;
}

CngPublicKey::CngPublicKey(const unsigned char (&point)[64])
    : ecdsa_(BCRYPT_ECDSA_P256_ALGORITHM), sha256_(BCRYPT_SHA256_ALGORITHM) {
    if (!ecdsa_.get() || !sha256_.get()) return;
    // BCRYPT_ECCPUBLIC_BLOB: the header, then X and Y.
    unsigned char blob[sizeof(BCRYPT_ECCKEY_BLOB) + 64];
    BCRYPT_ECCKEY_BLOB header = {BCRYPT_ECDSA_PUBLIC_P256_MAGIC, 32};
    std::memcpy(blob, &header, sizeof header);
    std::memcpy(blob + sizeof header, point, 64);
    BCRYPT_KEY_HANDLE key = nullptr;
    if (Succeeded(BCryptImportKeyPair(ecdsa_.get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, &key, blob, sizeof blob, 0)))
        key_.Reset(key);
}

bool CngPublicKey::Verify(std::string_view message, const EcdsaSignature& signature) const {
    if (!key_) return false;
    CngSha256 hash(sha256_);
    hash.Update(message.data(), message.size());
    if (!hash.ok()) return false;
    Sha256Digest digest = hash.Finish();
    EcdsaSignature copy = signature;  // the call takes a non-const pointer
    return BCryptVerifySignature(key_.get(), nullptr, digest.data(), static_cast<ULONG>(digest.size()), copy.data(),
                                 static_cast<ULONG>(copy.size()), 0) == 0;  // STATUS_SUCCESS
}

}  // namespace kavuno::launcher
