// Any command-line text: the parser either returns switches or raises the overflow error.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/app_error.h"
#include "shell/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::wstring text;
  for (size_t i = 0; i + 1 < size; i += 2) text += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
  try {
    const auto sw = modCommandLine::ParseCommandLine(modCommandLine::ArgumentText(text));
    if (sw.purgeImageAgeDays < 0) std::abort();  // only values of at least 1 are taken
    if (!sw.screenCapture && sw.callBackHandle != 0) std::abort();
    // The program's folder under the given one, which may end in "/" as well as in "\\".
    for (const auto& folder : sw.imageFolders)
      if (folder.size() < 19 || (folder[folder.size() - 19] != L'\\' && folder[folder.size() - 19] != L'/') ||
          folder.compare(folder.size() - 18, 18, L"Mirel Lumo\\images\\") != 0)
        std::abort();
  } catch (const AppError& e) {
    if (e.number != AppErrors::Overflow) std::abort();
  }
  return 0;
}
