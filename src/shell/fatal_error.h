#pragma once
// The start-up, shutdown and settings failures: the stop-icon message with the error's
// description, number and line, after which the process ends at once.
#include <exception>
#include <functional>
#include <new>
#include <string>

#include "base/app_error.h"

namespace modFatal {

inline constexpr const wchar_t* StartupTitle = L"Startup Error";
inline constexpr const wchar_t* StartupSentence =
    L"There was an error starting the application. If this persists, contact support";
inline constexpr const wchar_t* ShutdownTitle = L"Shutdown Error";
inline constexpr const wchar_t* ShutdownSentence =
    L"There was an error during application closure. If this persists, contact support";
inline constexpr const wchar_t* SettingsTitle = L"Settings Error";
inline constexpr const wchar_t* SettingsSentence =
    L"There was an error starting the saving config settings. If this persists, contact support";

// Shows the message and ends the process. `beforeMessage` clears the way for it first (a
// topmost overlay would hide it).
[[noreturn]] void FailAndExit(const wchar_t* title, const wchar_t* sentence, const AppError& error,
                              const std::function<void()>& beforeMessage);

// Runs body(step); any exception becomes the fatal message with the step that was running.
template <class Body>
void RunFatalOnError(const wchar_t* title, const wchar_t* sentence, const std::function<void()>& beforeMessage,
                     Body body) {
  int step = 0;
  try {
    body(step);
  } catch (AppError& e) {
    if (e.line == 0) e.line = step;
    FailAndExit(title, sentence, e, beforeMessage);
  } catch (const std::bad_alloc&) {
    FailAndExit(title, sentence, AppError{7, L"Out of memory", step}, beforeMessage);
  } catch (const std::exception& e) {
    std::wstring what;
    for (const char* p = e.what(); *p; ++p) what += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    FailAndExit(title, sentence, AppError{51, L"Internal error: " + what, step}, beforeMessage);
  } catch (...) {
    FailAndExit(title, sentence, AppError{51, L"Internal error", step}, beforeMessage);
  }
}

}  // namespace modFatal
