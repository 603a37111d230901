// The stored-value cipher on the real CNG, against known answers from make_cipher_vectors.py.
#include <gtest/gtest.h>

#include <windows.h>

#include "base/app_error.h"
#include "shell/modAES.h"
#include "win/error_text.h"

namespace {
const struct {
  const wchar_t *text, *stored;
  size_t utf8Length;
} Vectors[] = {
#include "vectors/cipher_vectors.inc"
};
}  // namespace

using namespace modAES;

TEST(Cipher, EncryptsToTheKnownAnswersAndDecryptsThemBack) {
  for (const auto& v : Vectors) {
    EXPECT_EQ(AesEncryptText(v.text, CredentialPassphrase), v.stored) << "length " << v.utf8Length;
    EXPECT_EQ(FromBase64Text(v.stored).size(), v.utf8Length);
    EXPECT_EQ(AesDecryptText(v.stored, CredentialPassphrase), v.text);
  }
  // The passphrase makes the key.
  EXPECT_NE(AesEncryptText(L"secret", L"other"), AesEncryptText(L"secret", CredentialPassphrase));
}

TEST(Cipher, DamagedStoredTextGivesSomeTextAndNoError) {
  EXPECT_NO_THROW(AesDecryptText(L"not base64 at all!", CredentialPassphrase));
  EXPECT_NO_THROW(AesDecryptText(L"////", CredentialPassphrase));  // decodes to invalid UTF-8
}

TEST(Cipher, FailingStepIsNamedInTheErrorText) {
  // A 20-byte key is not an AES key size: the key creation fails.
  Bytes data{1, 2, 3};
  std::wstring error;
  EXPECT_FALSE(AesCryptBytes(data, ToUtf8Bytes(CredentialPassphrase), L"", 20, error));
  EXPECT_EQ(error, L"[C000000D] Error in BCryptGenerateSymmetricKey");
  EXPECT_EQ(data, (Bytes{1, 2, 3}));
  // A system error's text: its code, the system's words, no line break at the end.
  const std::wstring text = win::SystemErrorText(ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(text.starts_with(L"[2] ") && text.size() > 4 && text.back() != L'\n') << text;
}
