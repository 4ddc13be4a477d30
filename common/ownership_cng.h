// Owners of CNG objects (bcrypt.dll): an algorithm provider, a key and a hash.
// See ownership.h for the owner itself.
#pragma once
#include <windows.h>
#include <bcrypt.h>

#include "common/ownership.h"

namespace kavuno::win {

inline void CloseCngAlgorithm(BCRYPT_ALG_HANDLE h) { BCryptCloseAlgorithmProvider(h, 0); }
using OwnedCngAlgorithm = Owned<NullHandleTraits<BCRYPT_ALG_HANDLE, &CloseCngAlgorithm>>;
// Keys and hashes go before the provider they were made with.
using OwnedCngKey = Owned<NullHandleTraits<BCRYPT_KEY_HANDLE, &BCryptDestroyKey>>;
using OwnedCngHash = Owned<NullHandleTraits<BCRYPT_HASH_HANDLE, &BCryptDestroyHash>>;

}  // namespace kavuno::win
