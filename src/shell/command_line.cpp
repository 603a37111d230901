#include "shell/command_line.h"

#include "base/numbers.h"
#include "base/text.h"

namespace {
// The start-up steps that read the call-back and the token switches, for error reports.
constexpr int CallBackStep = 2;
constexpr int SwitchesStep = 3;

std::vector<std::wstring_view> SplitAt(std::wstring_view s, wchar_t sep) {
  std::vector<std::wstring_view> parts;
  size_t start = 0;
  for (;;) {
    const size_t at = s.find(sep, start);
    parts.push_back(s.substr(start, at == s.npos ? s.npos : at - start));
    if (at == s.npos) return parts;
    start = at + 1;
  }
}

void ApplyToken(std::wstring_view token, modCommandLine::StartupSwitches& sw) {
  const std::wstring lowered = text::LowerAscii(token);
  const auto parts = SplitAt(lowered, L'=');
  if (parts.size() != 2) {
    if (lowered == L"allowmultinstance") sw.allowMultiInstance = true;
    return;
  }
  const std::wstring_view name = parts[0], value = parts[1];
  if (text::EqualsNoCase(name, L"purgeImgDelete")) {
    sw.purgeImgRecycle = false;
  } else if (name == L"purgeimgage") {
    if (auto n = numbers::ParseDecimal(value)) {
      const int16_t days = numbers::RoundToInt16OrThrow(*n, SwitchesStep);
      if (days >= 1) sw.purgeImageAgeDays = days;
    }
  } else if (name == L"purgeimgs") {
    if (auto n = numbers::ParseDecimal(value)) {
      if (numbers::RoundToInt16OrThrow(*n, SwitchesStep) == 0) sw.purgeImgs = false;
    }
  } else if (name == L"saveimgsloc") {
    // A blank value would make a folder relative to wherever the program was started.
    if (text::TrimBlanks(value).empty()) return;
    std::wstring folder(value);
    if (folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    sw.imageFolders.push_back(folder + L"Mirel Lumo\\images\\");
  }
}
}  // namespace

std::wstring_view modCommandLine::ArgumentText(std::wstring_view commandLine) {
  size_t i = 0;
  if (!commandLine.empty() && commandLine[0] == L'"') {
    const size_t close = commandLine.find(L'"', 1);
    i = close == commandLine.npos ? commandLine.size() : close + 1;
  } else {
    while (i < commandLine.size() && commandLine[i] != L' ' && commandLine[i] != L'\t') ++i;
  }
  while (i < commandLine.size() && (commandLine[i] == L' ' || commandLine[i] == L'\t')) ++i;
  return commandLine.substr(i);
}

int32_t modCommandLine::ParseCallBack(std::wstring_view args) {
  const size_t at = args.find(L"cb=");
  if (at == args.npos) return 0;
  std::wstring_view rest = args.substr(at + 3);
  const size_t first = rest.find_first_not_of(L' ');
  if (first == rest.npos) return 0;
  rest = rest.substr(first);
  rest = rest.substr(0, rest.find(L' '));
  const auto n = numbers::ParseDecimal(rest);
  if (!n || *n == 0) return 0;
  return numbers::RoundToInt32OrThrow(*n, CallBackStep);
}

modCommandLine::StartupSwitches modCommandLine::ParseCommandLine(std::wstring_view args) {
  StartupSwitches sw;
  if (args.find(L"screencapture") != args.npos) {
    sw.screenCapture = true;
    sw.callBackHandle = ParseCallBack(args);
  }
  if (args.empty()) return sw;
  sw.purgeImgRecycle = true;
  sw.purgeImgs = true;
  for (std::wstring_view token : SplitAt(args, L' ')) ApplyToken(token, sw);
  return sw;
}
