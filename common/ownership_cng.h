// Owners of CNG objects (bcrypt.dll): an algorithm provider, a key and a hash.
// See ownership.h for the owner itself.
#pragma once
#include <windows.h>
#include <bcrypt.h>

#include "common/ownership.h"

namespace kavuno::win {

struct CngAlgorithmTraits {
    using Handle = BCRYPT_ALG_HANDLE;
    static Handle Empty() { return nullptr; }
    static bool IsSet(Handle h) { return h != nullptr; }
    static void Release(Handle h) { BCryptCloseAlgorithmProvider(h, 0); }
};
using OwnedCngAlgorithm = Owned<CngAlgorithmTraits>;

// Keys and hashes go before the provider they were made with.
struct CngKeyTraits {
    using Handle = BCRYPT_KEY_HANDLE;
    static Handle Empty() { return nullptr; }
    static bool IsSet(Handle h) { return h != nullptr; }
    static void Release(Handle h) { BCryptDestroyKey(h); }
};
using OwnedCngKey = Owned<CngKeyTraits>;

struct CngHashTraits {
    using Handle = BCRYPT_HASH_HANDLE;
    static Handle Empty() { return nullptr; }
    static bool IsSet(Handle h) { return h != nullptr; }
    static void Release(Handle h) { BCryptDestroyHash(h); }
};
using OwnedCngHash = Owned<CngHashTraits>;

}  // namespace kavuno::win
