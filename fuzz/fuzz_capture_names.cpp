// Any file name in the images folder: the numbering never fails and never hands out a
// number that is not a positive 32-bit number.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "capture/capture_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::wstring> names(1);
  for (size_t i = 0; i + 1 < size; i += 2) {
    const wchar_t c = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    if (c == L'/') names.emplace_back();  // '/' cannot stand in a name: it separates names here
    else names.back() += c;
  }
  const int32_t highest = modScreenshot::HighestNumber(names, L"image");
  if (highest < 0) std::abort();
  if (modScreenshot::NextNumber(highest) < 1) std::abort();
  return 0;
}
