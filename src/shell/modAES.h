#pragma once
// Stored values: AES-256 in counter mode over the platform's AES-ECB, key from PBKDF2 over
// HMAC-SHA1 (1000 iterations) of a fixed passphrase and salt, Base64 on one line.
// The same text always gives the same ciphertext, exactly as long as its UTF-8 form.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace modAES {

using Bytes = std::vector<uint8_t>;

inline constexpr std::wstring_view CredentialPassphrase = L"Qx7vTb2LmW9pRz4KdN8s";
inline constexpr std::wstring_view DefaultSalt = L"NacreKeyDeriveV1";

// Both throw AppError (number 0x80040000, the failing step's text) when a CNG call fails.
std::wstring AesEncryptText(std::wstring_view text, std::wstring_view passphrase);
std::wstring AesDecryptText(std::wstring_view text, std::wstring_view passphrase);

// Encrypts or decrypts data in place (the same operation). An empty salt means DefaultSalt,
// a key length below 1 means 32 bytes. On failure: false and the error text.
bool AesCryptBytes(Bytes& data, const Bytes& passphrase, std::wstring_view salt, int keyLength,
                   std::wstring& error);

Bytes ToUtf8Bytes(std::wstring_view text);
std::wstring FromUtf8Bytes(const Bytes& bytes);
std::wstring ToBase64Text(const Bytes& bytes);
// Text that is not Base64 gives no bytes.
Bytes FromBase64Text(std::wstring_view text);

}  // namespace modAES
