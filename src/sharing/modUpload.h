#pragma once
// Posts one file as multipart form data with Basic authentication, synchronously.
#include <windows.h>

#include <cstdint>
#include <string>

namespace modUpload {

// 200 when the server answered 200 with the success marker; 0 for any other answer or an
// error (reported with the "Upload Error" message); -1 when folder + fileName is no file
// (reported too). An empty boundary comes back as the one used.
int32_t UploadAttachment(HWND owner, const std::wstring& address, const std::wstring& folder,
                         const std::wstring& fileName, const std::wstring& user, const std::wstring& token,
                         std::string& boundary);

}  // namespace modUpload
