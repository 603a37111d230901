#include "win/gdiplus.h"

#include "win/library.h"

namespace win::gdiplus {

const Api& Functions() {
  static const Library gdiplus(L"gdiplus.dll");
  static const Api api = [] {
    Api a;
    auto get = [&](auto& fn, const char* name) { return gdiplus.Get(fn, name); };
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
