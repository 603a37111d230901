#include "shell/fatal_error.h"

#include <windows.h>

#include "win/message_box.h"

void modFatal::FailAndExit(const wchar_t* title, const wchar_t* sentence, const AppError& error,
                           const std::function<void()>& beforeMessage) {
  if (beforeMessage) {
    try {
      beforeMessage();
    } catch (...) {  // the message is shown all the same
    }
  }
  win::ShowMessage(nullptr, AppErrors::FormatFatalMessage(sentence, error), title, MB_OK | MB_ICONSTOP);
  ::ExitProcess(1);
}
