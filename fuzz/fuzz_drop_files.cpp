// Any bytes as the clipboard's copied-files block: the parser never reads past the block,
// and what it returns is a list of at least one non-empty name.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "sharing/sharing_rules.h"

namespace {
std::wstring Latin1(std::string_view s) { return std::wstring(s.begin(), s.end()); }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A copy of exactly the input's size: the sanitizer sees every read past it.
  std::vector<uint8_t> block(data, data + size);
  const auto names = modCBFiles::ParseDropFiles(block.data(), block.size(), Latin1);
  if (names) {
    if (names->empty()) std::abort();
    for (const auto& n : *names)
      if (n.empty()) std::abort();
    modCBFiles::IsPictureFileName(names->front());
  }
  return 0;
}
