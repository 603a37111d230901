#pragma once
// config.ini as text: CR LF lines, "[section]" lines, "key=value" lines. Section and key
// names match without regard to case; values are read without the blanks around them.
// Lines the program does not know are kept as they are.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace modINI {

class IniDocument {
 public:
  static IniDocument Parse(std::string_view bytes);
  // Every line ends in CR LF.
  std::string Serialize() const;

  // The value of the first matching key in the first matching section, trimmed.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  // Replaces the key's value, or adds the key at the end of its section, or adds the
  // section with the key at the end of the document.
  void Set(std::string_view section, std::string_view key, std::string_view value);

 private:
  struct Span { size_t header, end; };  // section header line and one past its last line
  std::optional<Span> FindSection(std::string_view section) const;
  std::optional<size_t> FindKey(const Span& span, std::string_view key) const;

  std::vector<std::string> lines_;
};

}  // namespace modINI
