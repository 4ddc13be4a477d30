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

#include "common/ownership_cng.h"
#include "launcher/update_run.h"

namespace kavuno::launcher {

// A CNG algorithm provider, opened by name; get() is null when it cannot be opened.
class CngProvider {
public:
    explicit CngProvider(const wchar_t* algorithm);
    BCRYPT_ALG_HANDLE get() const { return handle_.get(); }

private:
    win::OwnedCngAlgorithm handle_;
};

// SHA-256 in pieces. Finish() gives zeros when CNG failed on the way, which
// no listed file has.
class CngSha256 : public Sha256 {
public:
    explicit CngSha256(const CngProvider& sha256);
    bool ok() const { return hash_ && !failed_; }
    void Update(const char* data, size_t size) override;
    Sha256Digest Finish() override;

private:
    std::vector<UCHAR> object_;
    win::OwnedCngHash hash_;  // declared after the memory it lives in, so it goes first
    bool failed_ = false;
};

// An ECDSA P-256 public key: X then Y, 32 bytes each, big-endian.
class CngPublicKey {
public:
    explicit CngPublicKey(const unsigned char (&point)[64]);
    bool ok() const { return static_cast<bool>(key_); }
    // Whether `signature` (r‖s) over `message` was made with the private half.
    bool Verify(std::string_view message, const EcdsaSignature& signature) const;

private:
    CngProvider ecdsa_;
    CngProvider sha256_;
    win::OwnedCngKey key_;  // declared after its provider, so it goes first
};

}  // namespace kavuno::launcher
