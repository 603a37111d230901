#pragma once
// The command line of MirelLumo.exe: "screencapture" and "cb=" found anywhere in the text,
// and the token switches split at single blanks.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace modCommandLine {

struct StartupSwitches {
  bool screenCapture = false;
  int32_t callBackHandle = 0;  // only with screenCapture; 0 means none
  bool purgeImgs = false;
  bool purgeImgRecycle = false;
  int16_t purgeImageAgeDays = 0;  // 0: the default applies later
  bool allowMultiInstance = false;
  // Every "saveimgsloc" images folder in order (base folder + "Mirel Lumo\images\", lower
  // case); start-up creates each and keeps the last one it could create.
  std::vector<std::wstring> imageFolders;
};

// The argument text of a full command line: what follows the program's path (quoted or
// not) and the blanks after it.
std::wstring_view ArgumentText(std::wstring_view commandLine);

// The call-back window of "screencapture cb=N": the text after "cb=" up to the next blank
// (leading blanks skipped), when it is a non-zero number. Throws AppError (overflow) when
// the number does not fit 32 bits.
int32_t ParseCallBack(std::wstring_view args);

// All switches, applied from left to right. Throws AppError (overflow) for a purge value
// that does not fit a 16-bit integer.
StartupSwitches ParseCommandLine(std::wstring_view args);

}  // namespace modCommandLine
