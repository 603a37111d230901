#include "win/gdiplus.h"

#include <type_traits>

namespace win::gdiplus {

const Api& Functions() {
  static const Api api = [] {
    Api a;
    HMODULE dll = ::LoadLibraryExW(L"gdiplus.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!dll) return a;
    auto get = [&](auto& fn, const char* name) {
      fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(reinterpret_cast<void*>(::GetProcAddress(dll, name)));
      return fn != nullptr;
    };
    a.ok = get(a.startup, "GdiplusStartup") && get(a.shutdown, "GdiplusShutdown") &&
           get(a.createFromHbitmap, "GdipCreateBitmapFromHBITMAP") && get(a.createFromFile, "GdipCreateBitmapFromFile") &&
           get(a.createHbitmap, "GdipCreateHBITMAPFromBitmap") && get(a.save, "GdipSaveImageToFile") && get(a.saveToStream, "GdipSaveImageToStream") &&
           get(a.dispose, "GdipDisposeImage");
    return a;
  }();
  return api;
}

Session::Session() {
  Gdiplus::GdiplusStartupInput input;
  ok_ = Functions().ok && Functions().startup(&token_, &input, nullptr) == Gdiplus::Ok;
}

Session::~Session() {
  if (ok_) Functions().shutdown(token_);
}

}  // namespace win::gdiplus
