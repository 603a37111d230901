#pragma once
// Posts one file as multipart form data with Basic authentication, synchronously.
#include <cstdint>
#include <string>

namespace modUpload {

struct UploadResult {
  // 200 when the server answered 200 with the success marker; 0 for any other answer or an
  // error; -1 when folder + fileName is no file.
  int32_t result = 0;
  // The "Upload Error" message the caller shows; empty when none is due (any answer of the
  // server is a result, not an error).
  std::wstring errorText;
};

// An empty boundary comes back as the one used. Nothing is shown; nothing is sent when the
// credentials could go anywhere but to the address (redirects cannot be switched off).
UploadResult UploadAttachment(const std::wstring& address, const std::wstring& folder, const std::wstring& fileName,
                              const std::wstring& user, const std::wstring& token, std::string& boundary);

}  // namespace modUpload
