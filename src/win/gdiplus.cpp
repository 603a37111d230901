#include "win/gdiplus.h"

#include "win/window_text.h"


namespace win::gdiplus {

const Api& Functions() {
  static const Api api = [] {
    Api a;
    HMODULE dll = ::LoadLibraryExW(L"gdiplus.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!dll) return a;
    auto get = [&](auto& fn, const char* name) { return GetProc(dll, fn, name); };
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
