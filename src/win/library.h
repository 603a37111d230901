#pragma once
// A system library loaded on first use, kept while its owner lives (the owners are
// function-local statics: until the program ends). Most runs never need GDI+, COM, WinHTTP
// or the mail program, and loading them with every start would cost every start their time.
#include <windows.h>

#include <utility>

namespace win {

class Library {
 public:
  enum class Search { SystemFolder, Default };
  // SystemFolder: only from the system folder, never from the program's or the current
  // folder. Default: the usual search, which honours the manifest's side-by-side versions
  // (the common controls).
  explicit Library(const wchar_t* name, Search search = Search::SystemFolder)
      : module_(search == Search::SystemFolder ? ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)
                                               : ::LoadLibraryW(name)) {}
  ~Library() {
    if (module_) ::FreeLibrary(module_);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  explicit operator bool() const { return module_ != nullptr; }
  HMODULE get() const { return module_; }

  // Sets fn to the export of that name; false (and fn null) when there is none.
  template <class Fn>
  bool Get(Fn& fn, const char* name) const {
    fn = module_ ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module_, name))) : nullptr;
    return fn != nullptr;
  }
  template <class Fn>
  Fn Function(const char* name) const {
    Fn fn = nullptr;
    Get(fn, name);
    return fn;
  }

 private:
  HMODULE module_;
};

}  // namespace win
