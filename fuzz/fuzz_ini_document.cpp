// Any config.ini bytes: parsing never fails, writing is stable, and a value set is read
// back as set.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "shell/ini_document.h"
#include "base/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  auto doc = modINI::IniDocument::Parse(bytes);
  const std::string once = doc.Serialize();
  if (modINI::IniDocument::Parse(once).Serialize() != once) std::abort();

  doc.Set("JIRA", "token", "c2VjcmV0");
  doc.Set("Mirel", "token", "");
  const auto reread = modINI::IniDocument::Parse(doc.Serialize());
  if (reread.Get("JIRA", "token") != "c2VjcmV0") std::abort();
  if (reread.Get("Mirel", "token") != "") std::abort();
  return 0;
}
