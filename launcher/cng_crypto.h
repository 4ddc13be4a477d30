// The launcher's cryptography, through Windows CNG (bcrypt.dll, part of every
// Windows the programs run on): SHA-256 of a download as it arrives, and the
// ECDSA P-256 signature of the update list checked against the build's key.
// Only calls that Windows 7 has: BCryptHash (one call) came with Windows 10,
// so hashing goes through BCryptCreateHash, BCryptHashData, BCryptFinishHash.
#pragma once
#include <windows.h>
#include <bcrypt.h>

#include <memory>
#include <string_view>
#include <vector>

#include "launcher/update_run.h"

namespace kavuno::launcher {

// A CNG algorithm provider, closed with its owner.
class CngProvider {
public:
    explicit CngProvider(const wchar_t* algorithm);
    ~CngProvider();
    CngProvider(const CngProvider&) = delete;
    CngProvider& operator=(const CngProvider&) = delete;
    BCRYPT_ALG_HANDLE get() const { return handle_; }

private:
    BCRYPT_ALG_HANDLE handle_ = nullptr;
};

// SHA-256 in pieces. Finish() gives zeros when CNG failed on the way, which
// no listed file has.
class CngSha256 : public Sha256 {
public:
    explicit CngSha256(const CngProvider& sha256);
    ~CngSha256() override;
    CngSha256(const CngSha256&) = delete;
    CngSha256& operator=(const CngSha256&) = delete;
    bool ok() const { return hash_ != nullptr && !failed_; }
    void Update(const char* data, size_t size) override;
    Sha256Digest Finish() override;

private:
    std::vector<UCHAR> object_;
    BCRYPT_HASH_HANDLE hash_ = nullptr;
    bool failed_ = false;
};

// An ECDSA P-256 public key: X then Y, 32 bytes each, big-endian.
class CngPublicKey {
public:
    explicit CngPublicKey(const unsigned char (&point)[64]);
    ~CngPublicKey();
    CngPublicKey(const CngPublicKey&) = delete;
    CngPublicKey& operator=(const CngPublicKey&) = delete;
    bool ok() const { return key_ != nullptr; }
    // Whether `signature` (r‖s) over `message` was made with the private half.
    bool Verify(std::string_view message, const EcdsaSignature& signature) const;

private:
    CngProvider ecdsa_;
    CngProvider sha256_;
    BCRYPT_KEY_HANDLE key_ = nullptr;
};

}  // namespace kavuno::launcher
