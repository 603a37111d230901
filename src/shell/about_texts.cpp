#include "shell/about_texts.h"

namespace {
std::wstring Dotted(const frmAboutTexts::Version& v) {
  return std::to_wstring(v.major) + L"." + std::to_wstring(v.minor) + L"." + std::to_wstring(v.revision);
}
}  // namespace

std::wstring frmAboutTexts::VersionText(const Version& v) { return L"Version " + Dotted(v); }

std::wstring frmAboutTexts::LinkAddress(const std::wstring& host, const Version& v) {
  return L"https://" + host + L"?source=lumo&version" + Dotted(v);
}
