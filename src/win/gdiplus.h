#pragma once
// GDI+ through its flat API, loaded on first use: most runs never need it, and loading the
// library would otherwise cost every start its load time.
#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>

#include "win/unique_resource.h"

namespace win::gdiplus {

struct Api {
  decltype(&Gdiplus::GdiplusStartup) startup = nullptr;
  decltype(&Gdiplus::GdiplusShutdown) shutdown = nullptr;
  decltype(&Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP) createFromHbitmap = nullptr;
  decltype(&Gdiplus::DllExports::GdipCreateBitmapFromFile) createFromFile = nullptr;
  decltype(&Gdiplus::DllExports::GdipCreateHBITMAPFromBitmap) createHbitmap = nullptr;
  decltype(&Gdiplus::DllExports::GdipSaveImageToFile) save = nullptr;
  decltype(&Gdiplus::DllExports::GdipSaveImageToStream) saveToStream = nullptr;
  decltype(&Gdiplus::DllExports::GdipDisposeImage) dispose = nullptr;
  bool ok = false;
};
const Api& Functions();

// GdiplusStartup for the guard's lifetime.
class Session {
 public:
  Session();
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  explicit operator bool() const { return ok_; }

 private:
  ULONG_PTR token_ = 0;
  bool ok_ = false;
};

inline void DisposeBitmap(Gdiplus::GpBitmap* b) noexcept { Functions().dispose(b); }
using unique_gpbitmap = unique_resource<null_traits<Gdiplus::GpBitmap*, DisposeBitmap>>;

}  // namespace win::gdiplus
