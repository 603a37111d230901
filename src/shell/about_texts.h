#pragma once
// The About box's version line and web link.
#include <string>

namespace frmAboutTexts {

struct Version {
  int major = 0, minor = 0, revision = 0;
};

inline constexpr const wchar_t* Host = L"www.mirel.example";
inline constexpr const wchar_t* Maker = L"Mirel";
inline constexpr const wchar_t* Description =
    L"Desktop Tools with native integrations that just work and support the Mirel values";

// "Version 1.3.0".
std::wstring VersionText(const Version& v);
// "https://" + host + "?source=lumo&version1.3.0": the number follows the word directly.
std::wstring LinkAddress(const std::wstring& host, const Version& v);

}  // namespace frmAboutTexts
