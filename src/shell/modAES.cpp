#include "shell/modAES.h"

#include <windows.h>
#include <bcrypt.h>
#include <wincrypt.h>

#include <cstdio>
#include <mutex>

#include "base/app_error.h"
#include "win/bcrypt_handles.h"
#include "win/error_text.h"
#include "win/text_codec.h"

namespace {

constexpr ULONG Pbkdf2Iterations = 1000;
constexpr int DefaultKeyLength = 32;

using win::unique_alg;
using win::unique_hash;
using win::unique_key;

// One encryption or decryption. Members are released in reverse order of declaration:
// PBKDF2 provider, HMAC hash, HMAC provider, AES key, AES provider.
class CryptoContext {
 public:
  bool Open(const modAES::Bytes& passphrase, const modAES::Bytes& salt, int keyLength);
  bool Transform(modAES::Bytes& data);
  const std::wstring& LastError() const { return lastError_; }

 private:
  // Runs one CNG call; on failure records the error text and returns false.
  template <class Call>
  bool Check(const char* step, Call call);
  // The PBKDF2 bytes: the AES key, the HMAC key and two unused bytes.
  bool Derive(const modAES::Bytes& passphrase, const modAES::Bytes& salt, modAES::Bytes& derived);
  bool OpenCipher(const modAES::Bytes& key);
  bool OpenHmac(const modAES::Bytes& key);

  unique_alg aesAlg_;
  modAES::Bytes keyObject_;  // holds the key object, so it outlives aesKey_
  unique_key aesKey_;
  unique_alg hmacAlg_;
  unique_hash hmacHash_;
  ULONG hmacDigestLength_ = 0;
  unique_alg pbkdf2Alg_;

  uint64_t counter_ = 0;
  modAES::Bytes keystream_;
  size_t keystreamPos_ = 0;
  std::wstring lastError_;
};

// The derivation is deterministic and every value uses the same passphrase and salt, so the
// last result is kept: a start-up then pays for one derivation instead of eight.
struct DerivedCache {
  std::mutex lock;
  modAES::Bytes passphrase, salt, derived;
  bool Find(const modAES::Bytes& p, const modAES::Bytes& s, size_t length, modAES::Bytes& out) {
    std::lock_guard guard(lock);
    if (derived.size() != length || p != passphrase || s != salt) return false;
    out = derived;
    return true;
  }
  void Keep(const modAES::Bytes& p, const modAES::Bytes& s, const modAES::Bytes& d) {
    std::lock_guard guard(lock);
    passphrase = p, salt = s, derived = d;
  }
};
DerivedCache& Derivations() {
  static DerivedCache cache;
  return cache;
}

template <class Call>
bool CryptoContext::Check(const char* step, Call call) {
  ::SetLastError(0);
  const NTSTATUS status = call();
  if (status == 0) return true;
  if (const DWORD err = ::GetLastError(); err != 0) {
    lastError_ = win::SystemErrorText(err);
  } else {
    wchar_t hex[16];
    std::swprintf(hex, 16, L"%lX", static_cast<unsigned long>(status));
    lastError_ = L"[" + std::wstring(hex) + L"] Error in ";
    for (const char* p = step; *p; ++p) lastError_ += static_cast<wchar_t>(*p);
  }
  return false;
}

bool CryptoContext::Open(const modAES::Bytes& passphrase, const modAES::Bytes& salt,
                         int keyLength) {
  const auto keyLen = static_cast<std::ptrdiff_t>(keyLength);
  modAES::Bytes derived(2 * keyLen + 2);
  // The last two derived bytes are taken out and not used.
  if (!Derive(passphrase, salt, derived) || !OpenCipher({derived.begin(), derived.begin() + keyLen}) ||
      !OpenHmac({derived.begin() + keyLen, derived.begin() + 2 * keyLen}))
    return false;
  counter_ = 0;
  keystream_.clear();
  keystreamPos_ = 0;
  return true;
}

bool CryptoContext::Derive(const modAES::Bytes& passphrase, const modAES::Bytes& salt, modAES::Bytes& derived) {
  if (Derivations().Find(passphrase, salt, derived.size(), derived)) return true;
  if (!Check("BCryptOpenAlgorithmProvider(SHA1)", [&] {
        return ::BCryptOpenAlgorithmProvider(pbkdf2Alg_.put(), BCRYPT_SHA1_ALGORITHM,
                                             MS_PRIMITIVE_PROVIDER, BCRYPT_ALG_HANDLE_HMAC_FLAG);
      }))
    return false;
  if (!Check("BCryptDeriveKeyPBKDF2", [&] {
        return ::BCryptDeriveKeyPBKDF2(
            pbkdf2Alg_.get(), const_cast<PUCHAR>(passphrase.data()),
            static_cast<ULONG>(passphrase.size()), const_cast<PUCHAR>(salt.data()),
            static_cast<ULONG>(salt.size()), Pbkdf2Iterations, derived.data(),
            static_cast<ULONG>(derived.size()), 0);
      }))
    return false;
  Derivations().Keep(passphrase, salt, derived);
  return true;
}

bool CryptoContext::OpenCipher(const modAES::Bytes& key) {
  if (!Check("BCryptOpenAlgorithmProvider(AES)", [&] {
        return ::BCryptOpenAlgorithmProvider(aesAlg_.put(), BCRYPT_AES_ALGORITHM,
                                             MS_PRIMITIVE_PROVIDER, 0);
      }))
    return false;
  ULONG objectLength = 0, got = 0;
  if (!Check("BCryptGetProperty(ObjectLength)", [&] {
        return ::BCryptGetProperty(aesAlg_.get(), BCRYPT_OBJECT_LENGTH,
                                   reinterpret_cast<PUCHAR>(&objectLength), sizeof objectLength,
                                   &got, 0);
      }))
    return false;
  if (!Check("BCryptSetProperty(ChainingMode)", [&] {
        return ::BCryptSetProperty(aesAlg_.get(), BCRYPT_CHAINING_MODE,
                                   reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_ECB)),
                                   sizeof(BCRYPT_CHAIN_MODE_ECB), 0);
      }))
    return false;
  keyObject_.assign(objectLength, 0);
  return Check("BCryptGenerateSymmetricKey", [&] {
    return ::BCryptGenerateSymmetricKey(aesAlg_.get(), aesKey_.put(), keyObject_.data(), objectLength,
                                        const_cast<PUCHAR>(key.data()), static_cast<ULONG>(key.size()), 0);
  });
}

// The HMAC is prepared with its own key but never fed: stored values carry no MAC.
bool CryptoContext::OpenHmac(const modAES::Bytes& key) {
  if (!Check("BCryptOpenAlgorithmProvider(SHA1)", [&] {
        return ::BCryptOpenAlgorithmProvider(hmacAlg_.put(), BCRYPT_SHA1_ALGORITHM,
                                             MS_PRIMITIVE_PROVIDER, BCRYPT_ALG_HANDLE_HMAC_FLAG);
      }))
    return false;
  ULONG got = 0;
  if (!Check("BCryptGetProperty(HashDigestLength)", [&] {
        return ::BCryptGetProperty(hmacAlg_.get(), BCRYPT_HASH_LENGTH,
                                   reinterpret_cast<PUCHAR>(&hmacDigestLength_),
                                   sizeof hmacDigestLength_, &got, 0);
      }))
    return false;
  return Check("BCryptCreateHash", [&] {
    return ::BCryptCreateHash(hmacAlg_.get(), hmacHash_.put(), nullptr, 0, const_cast<PUCHAR>(key.data()),
                              static_cast<ULONG>(key.size()), 0);
  });
}

bool CryptoContext::Transform(modAES::Bytes& data) {
  size_t i = 0;
  // The rest of a block left by an earlier transform on this context.
  while (i < data.size() && keystreamPos_ % 16 != 0 && keystreamPos_ < keystream_.size())
    data[i++] ^= keystream_[keystreamPos_++];
  const size_t remaining = data.size() - i;
  if (remaining == 0) return true;
  const size_t m = (remaining + 15) / 16 * 16;
  if (keystream_.size() < m) keystream_.assign(m, 0);
  for (size_t block = 0; block < m; block += 16) {
    ++counter_;
    for (int b = 0; b < 8; ++b) keystream_[block + b] = static_cast<uint8_t>(counter_ >> (8 * b));
    for (int b = 8; b < 16; ++b) keystream_[block + b] = 0;
  }
  ULONG written = 0;
  if (!Check("BCryptEncrypt", [&] {
        return ::BCryptEncrypt(aesKey_.get(), keystream_.data(), static_cast<ULONG>(m), nullptr,
                               nullptr, 0, keystream_.data(), static_cast<ULONG>(m), &written, 0);
      }))
    return false;
  keystreamPos_ = 0;
  for (; i < data.size(); ++i) data[i] ^= keystream_[keystreamPos_++];
  return true;
}

[[noreturn]] void ThrowCipherError(const std::wstring& text) {
  throw AppError{AppErrors::FirstObjectError, text, 0};
}

}  // namespace

bool modAES::AesCryptBytes(Bytes& data, const Bytes& passphrase, std::wstring_view salt,
                           int keyLength, std::wstring& error) {
  const Bytes saltBytes = ToUtf8Bytes(salt.empty() ? DefaultSalt : salt);
  if (keyLength < 1) keyLength = DefaultKeyLength;
  CryptoContext context;
  if (!context.Open(passphrase, saltBytes, keyLength) || !context.Transform(data)) {
    error = context.LastError();
    return false;
  }
  return true;
}

std::wstring modAES::AesEncryptText(std::wstring_view text, std::wstring_view passphrase) {
  Bytes data = ToUtf8Bytes(text);
  std::wstring error;
  if (!AesCryptBytes(data, ToUtf8Bytes(passphrase), L"", 0, error)) ThrowCipherError(error);
  std::wstring stored = ToBase64Text(data);
  // An empty result for a non-empty text would store nothing in place of the value.
  if (stored.empty() && !data.empty()) ThrowCipherError(L"[" + std::to_wstring(::GetLastError()) + L"] Error in CryptBinaryToStringW");
  return stored;
}

std::wstring modAES::AesDecryptText(std::wstring_view text, std::wstring_view passphrase) {
  Bytes data = FromBase64Text(text);
  std::wstring error;
  if (!AesCryptBytes(data, ToUtf8Bytes(passphrase), L"", 0, error)) ThrowCipherError(error);
  return FromUtf8Bytes(data);
}

modAES::Bytes modAES::ToUtf8Bytes(std::wstring_view text) {
  const std::string utf8 = win::ToUtf8(text);
  return Bytes(utf8.begin(), utf8.end());
}

std::wstring modAES::FromUtf8Bytes(const Bytes& bytes) {
  return win::FromUtf8(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::wstring modAES::ToBase64Text(const Bytes& bytes) {
  if (bytes.empty()) return {};
  const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
  DWORD n = 0;
  if (!::CryptBinaryToStringW(bytes.data(), static_cast<DWORD>(bytes.size()), flags, nullptr, &n))
    return {};
  std::wstring out(n, L'\0');
  if (!::CryptBinaryToStringW(bytes.data(), static_cast<DWORD>(bytes.size()), flags, out.data(), &n))
    return {};
  // Some platforms still break lines; a stored value must be one line without a NUL.
  std::wstring oneLine;
  for (wchar_t c : out)
    if (c != L'\r' && c != L'\n' && c != L'\0') oneLine += c;
  return oneLine;
}

modAES::Bytes modAES::FromBase64Text(std::wstring_view text) {
  if (text.empty()) return {};
  DWORD n = 0;
  if (!::CryptStringToBinaryW(text.data(), static_cast<DWORD>(text.size()), CRYPT_STRING_BASE64,
                              nullptr, &n, nullptr, nullptr))
    return {};
  Bytes out(n);
  if (!::CryptStringToBinaryW(text.data(), static_cast<DWORD>(text.size()), CRYPT_STRING_BASE64,
                              out.data(), &n, nullptr, nullptr))
    return {};
  out.resize(n);
  return out;
}
