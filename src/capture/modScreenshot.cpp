#include "capture/modScreenshot.h"

#include <limits>

#include "base/text.h"
#include "capture/capture_files.h"
#include "capture/modSaveImages.h"
#include "win/file_io.h"
#include "win/handles.h"


std::vector<std::wstring> modScreenshot::ListFolderFiles(std::wstring& folder, const std::wstring& pattern) {
  folder = text::TrimBlanks(folder);
  std::vector<std::wstring> names;
  if (folder.empty()) return names;
  if (folder.back() != L'\\') folder += L'\\';
  WIN32_FIND_DATAW fd;
  win::unique_find find(::FindFirstFileW((folder + pattern).c_str(), &fd));
  if (!find) return names;
  do {
    if (fd.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
    names.emplace_back(fd.cFileName);
  } while (::FindNextFileW(find.get(), &fd));
  return names;
}

int32_t modScreenshot::HighestFileNumber(std::wstring folder, bool& found, std::wstring& prefix) {
  std::wstring pattern = prefix;
  if (pattern.size() < 3 || pattern.compare(pattern.size() - 3, 3, L"*.*") != 0) pattern += L"*.*";
  const auto names = ListFolderFiles(folder, pattern);
  prefix = StripWildcard(prefix);
  if (!names.empty()) found = true;
  return HighestNumber(names, prefix);
}

modScreenshot::CaptureResult modScreenshot::CaptureScreenArea(win::unique_hbitmap& target, const RECT& area,
                                                              const std::wstring& folder) {
  CaptureResult result;
  const int width = area.right - area.left, height = area.bottom - area.top;
  if (width <= 0 || height <= 0) {
    result.error = ERROR_INVALID_PARAMETER;
    return result;
  }
  // Without an images folder the file would land wherever the program was started.
  std::wstring dir = text::TrimBlanks(folder);
  if (dir.empty()) {
    result.error = ERROR_PATH_NOT_FOUND;
    return result;
  }
  if (dir.back() != L'\\') dir += L'\\';
  {
    win::window_dc screen(nullptr);
    win::unique_hdc memory(::CreateCompatibleDC(screen.get()));
    target.reset(::CreateCompatibleBitmap(screen.get(), width, height));
    if (!screen || !memory || !target) {
      result.error = ERROR_NOT_ENOUGH_MEMORY;
      return result;
    }
    win::select_object select(memory.get(), target.get());
    if (!::BitBlt(memory.get(), 0, 0, width, height, screen.get(), area.left, area.top, SRCCOPY)) {
      result.error = ::GetLastError();
      return result;
    }
  }

  bool found = false;
  std::wstring prefix = L"image";
  int32_t number = NextNumber(HighestFileNumber(folder, found, prefix));
  for (int attempt = 0; attempt < 64; ++attempt) {
    const std::wstring path = dir + prefix + std::to_wstring(number) + L".bmp";
    if (win::WriteFileWhole(path, false, [&](const std::wstring& temp) {
          return modSaveImages::WriteBmp(target.get(), temp);
        })) {
      result.saved = true;
      result.path = path;
      return result;
    }
    result.error = ::GetLastError();
    const bool taken = result.error == ERROR_ALREADY_EXISTS || result.error == ERROR_FILE_EXISTS;
    if (!taken || number == std::numeric_limits<int32_t>::max()) break;
    ++number;
  }
  return result;
}
