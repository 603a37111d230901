#pragma once
// Owners of the CNG handles of the credential cipher.
#include <windows.h>
#include <bcrypt.h>

#include "win/unique_resource.h"

namespace win {

inline void CloseAlgorithm(BCRYPT_ALG_HANDLE h) noexcept { ::BCryptCloseAlgorithmProvider(h, 0); }
inline void DestroyKey(BCRYPT_KEY_HANDLE h) noexcept { ::BCryptDestroyKey(h); }
inline void DestroyHash(BCRYPT_HASH_HANDLE h) noexcept { ::BCryptDestroyHash(h); }
using unique_alg = unique_resource<null_traits<BCRYPT_ALG_HANDLE, CloseAlgorithm>>;
using unique_key = unique_resource<null_traits<BCRYPT_KEY_HANDLE, DestroyKey>>;
using unique_hash = unique_resource<null_traits<BCRYPT_HASH_HANDLE, DestroyHash>>;

}  // namespace win
