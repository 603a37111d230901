#include "editor/picture_io.h"

#include "win/clipboard.h"
#include "win/error_text.h"
#include "win/gdi.h"
#include "win/gdiplus.h"

namespace editor {

std::optional<Image> ImageFromBitmap(HBITMAP bitmap) {
  BITMAP bm{};
  if (!bitmap || !::GetObjectW(bitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return std::nullopt;
  // Far beyond any screen: a damaged or hostile bitmap must not make us allocate gigabytes.
  if (static_cast<long long>(bm.bmWidth) * bm.bmHeight > 256LL * 1024 * 1024) return std::nullopt;
  Image img(bm.bmWidth, bm.bmHeight);
  BITMAPINFO bi{};
  bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB};
  win::window_dc screen(nullptr);
  if (!screen || ::GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(bm.bmHeight), img.pixels.data(), &bi,
                             DIB_RGB_COLORS) != bm.bmHeight)
    return std::nullopt;
  for (uint32_t& p : img.pixels) p &= 0x00FFFFFF;  // as GDI leaves the pixels it draws
  return img;
}

std::optional<Image> LoadPictureFile(const std::wstring& path, std::wstring& why) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    why = win::SystemErrorText(::GetLastError());
    return std::nullopt;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    why = L"It is a folder.";
    return std::nullopt;
  }
  win::gdiplus::Session session;
  if (!session) {
    why = L"The picture decoders are not available.";
    return std::nullopt;
  }
  win::gdiplus::unique_gpbitmap bitmap;
  if (win::gdiplus::Functions().createFromFile(path.c_str(), bitmap.put()) != Gdiplus::Ok) {
    why = L"The file is not a picture in a format this program reads.";
    return std::nullopt;
  }
  win::unique_hbitmap hbitmap;
  if (win::gdiplus::Functions().createHbitmap(bitmap.get(), hbitmap.put(), 0xFFFFFFFF) != Gdiplus::Ok) {
    why = L"The picture could not be decoded.";
    return std::nullopt;
  }
  auto img = ImageFromBitmap(hbitmap.get());
  if (!img) why = L"The picture is too large or could not be read.";
  return img;
}

std::optional<Image> ReadClipboardBitmap(HWND owner, bool* held) {
  if (!::IsClipboardFormatAvailable(CF_BITMAP)) return std::nullopt;
  win::clipboard_open clipboard(owner);
  if (held) *held = !clipboard;
  if (!clipboard) return std::nullopt;
  // The clipboard owns the handle: it is read, never deleted.
  return ImageFromBitmap(static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP)));
}

}  // namespace editor
