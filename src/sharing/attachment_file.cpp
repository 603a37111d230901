#include "sharing/attachment_file.h"

#include <windows.h>

#include <vector>

#include "sharing/sharing_rules.h"
#include "win/file_io.h"
#include "win/handles.h"

namespace {

// What follows the name in each plain file of the folder whose name begins with it. The
// listing's own match may go by a file's short name: only long names that begin with the
// name, case aside, count.
std::vector<std::wstring> RestsAfter(const std::wstring& folder, const std::wstring& name) {
  std::vector<std::wstring> rests;
  WIN32_FIND_DATAW fd;
  win::unique_find find(::FindFirstFileW((folder + name + L"*").c_str(), &fd));
  if (!find) return rests;
  do {
    if (fd.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
    const std::wstring file = fd.cFileName;
    if (file.size() >= name.size() &&
        ::CompareStringOrdinal(file.c_str(), static_cast<int>(name.size()), name.c_str(), static_cast<int>(name.size()),
                               TRUE) == CSTR_EQUAL)
      rests.push_back(file.substr(name.size()));
  } while (::FindNextFileW(find.get(), &fd));
  return rests;
}

}  // namespace

std::optional<std::wstring> modAttachments::WriteNewAttachment(const std::wstring& folder, const std::wstring& name,
                                                              const std::function<bool(const std::wstring& temp)>& write) {
  std::optional<int64_t> number = FirstAttachmentNumber(RestsAfter(folder, name));
  for (int attempt = 0; attempt < 64; ++attempt, number = number ? *number + 1 : 1) {
    const std::wstring path = NumberedAttachmentPath(folder, name, number);
    // "com" with com.jpg taken would become COM1.jpg: a device, not a file.
    if (IsReservedFileName(path.substr(folder.size()))) {
      ::SetLastError(ERROR_INVALID_NAME);
      return std::nullopt;
    }
    if (win::WriteFileWhole(path, false, write)) return path;
    const DWORD err = ::GetLastError();
    if (err != ERROR_ALREADY_EXISTS && err != ERROR_FILE_EXISTS) return std::nullopt;
  }
  return std::nullopt;
}
