#include "sharing/modCBFiles.h"

#include <shlwapi.h>

#include <cstring>
#include <utility>

#include "capture/encoder_table.h"
#include "sharing/sharing_rules.h"
#include "win/clipboard.h"
#include "win/gdi.h"
#include "win/gdiplus.h"

namespace {

struct GlobalBlock {
  HGLOBAL handle = nullptr;
  GlobalBlock() = default;
  explicit GlobalBlock(size_t size) : handle(::GlobalAlloc(GMEM_MOVEABLE, size)) {}
  ~GlobalBlock() {
    if (handle) ::GlobalFree(handle);
  }
  GlobalBlock(const GlobalBlock&) = delete;
  GlobalBlock& operator=(const GlobalBlock&) = delete;
  // Copies bytes in; the block then belongs to whoever takes it with release().
  bool Fill(const void* data, size_t size, size_t at = 0) {
    void* p = handle ? ::GlobalLock(handle) : nullptr;
    if (!p) return false;
    std::memcpy(static_cast<char*>(p) + at, data, size);
    ::GlobalUnlock(handle);
    return true;
  }
  HGLOBAL release() { return std::exchange(handle, nullptr); }
};

// A packed DIB: the header, then 24-bit rows bottom to top. Not 32-bit: some programs
// read a 32-bit DIB's fourth byte as transparency.
HGLOBAL PackedDib(const win::DibSection& picture) {
  const int w = picture.width(), h = picture.height();
  BITMAPINFOHEADER header{sizeof header, w, h, 1, 24, BI_RGB};
  const size_t rowBytes = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
  header.biSizeImage = static_cast<DWORD>(rowBytes * h);
  GlobalBlock block(sizeof header + rowBytes * h);
  auto* p = block.handle ? static_cast<uint8_t*>(::GlobalLock(block.handle)) : nullptr;
  if (!p) return nullptr;
  std::memcpy(p, &header, sizeof header);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = p + sizeof header + rowBytes * (h - 1 - y);
    const uint32_t* source = picture.pixels() + static_cast<size_t>(y) * w;
    for (int x = 0; x < w; ++x) {
      row[x * 3] = static_cast<uint8_t>(source[x]);
      row[x * 3 + 1] = static_cast<uint8_t>(source[x] >> 8);
      row[x * 3 + 2] = static_cast<uint8_t>(source[x] >> 16);
    }
    std::memset(row + static_cast<size_t>(w) * 3, 0, rowBytes - static_cast<size_t>(w) * 3);
  }
  ::GlobalUnlock(block.handle);
  return block.release();
}

// A device bitmap of the picture: what CF_BITMAP takes in every program.
HBITMAP DeviceBitmap(const win::DibSection& picture) {
  win::window_dc screen(nullptr);
  win::unique_hbitmap bitmap(::CreateCompatibleBitmap(screen.get(), picture.width(), picture.height()));
  win::unique_hdc dc(::CreateCompatibleDC(screen.get()));
  if (!bitmap || !dc) return nullptr;
  {
    win::select_object select(dc.get(), bitmap.get());
    if (!::BitBlt(dc.get(), 0, 0, picture.width(), picture.height(), picture.dc(), 0, 0, SRCCOPY)) return nullptr;
  }
  return bitmap.release();
}

// The picture as a PNG file in memory.
HGLOBAL PngBlock(const win::DibSection& picture) {
  win::gdiplus::Session session;
  if (!session) return nullptr;
  const auto& gdip = win::gdiplus::Functions();
  win::gdiplus::unique_gpbitmap bitmap;
  {
    win::DibSection::Unselected out(picture);
    if (gdip.createFromHbitmap(picture.bitmap(), nullptr, bitmap.put()) != Gdiplus::Ok) return nullptr;
  }
  const auto choice = modSaveImages::ChooseEncoder(L".png", 100, 24, 6);
  const auto guid = choice ? modSaveImages::ParseGuid(choice->clsid) : std::nullopt;
  if (!guid) return nullptr;
  CLSID clsid{guid->data1, guid->data2, guid->data3, {}};
  std::memcpy(clsid.Data4, guid->data4, 8);
  IStream* stream = ::SHCreateMemStream(nullptr, 0);
  if (!stream) return nullptr;
  HGLOBAL result = nullptr;
  if (gdip.saveToStream(bitmap.get(), stream, &clsid, nullptr) == Gdiplus::Ok) {
    STATSTG stat{};
    LARGE_INTEGER start{};
    if (SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME)) && SUCCEEDED(stream->Seek(start, STREAM_SEEK_SET, nullptr))) {
      const size_t size = static_cast<size_t>(stat.cbSize.QuadPart);
      GlobalBlock block(size);
      void* p = block.handle ? ::GlobalLock(block.handle) : nullptr;
      ULONG read = 0;
      const bool ok = p && SUCCEEDED(stream->Read(p, static_cast<ULONG>(size), &read)) && read == size;
      if (p) ::GlobalUnlock(block.handle);
      if (ok) result = block.release();
    }
  }
  stream->Release();
  return result;
}

std::wstring FromAnsi(std::string_view s) {
  if (s.empty()) return {};
  const int n = ::MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
  return out;
}

}  // namespace

bool modCBFiles::CopyPictureToClipboard(HWND owner, const win::DibSection& picture) {
  if (!picture) return false;
  // Everything is made before the clipboard is opened: it is held as briefly as possible.
  win::unique_hbitmap bitmap(DeviceBitmap(picture));
  GlobalBlock dib, png;
  dib.handle = PackedDib(picture);
  png.handle = PngBlock(picture);
  win::clipboard_open clipboard(owner);
  if (!clipboard || !::EmptyClipboard()) return false;
  bool any = false;
  // The clipboard owns what it accepts; what it refuses is freed by its owner here.
  if (bitmap && ::SetClipboardData(CF_BITMAP, bitmap.get())) bitmap.release(), any = true;
  if (dib.handle && ::SetClipboardData(CF_DIB, dib.handle)) dib.release(), any = true;
  static const UINT pngFormat = ::RegisterClipboardFormatW(L"PNG");
  if (png.handle && pngFormat && ::SetClipboardData(pngFormat, png.handle)) png.release();
  return any;
}

bool modCBFiles::GetClipboardFiles(std::vector<std::wstring>& files) {
  if (!::IsClipboardFormatAvailable(CF_HDROP)) return false;
  win::clipboard_open clipboard(nullptr);
  if (!clipboard) return false;
  HANDLE data = ::GetClipboardData(CF_HDROP);
  if (!data) return false;
  const size_t size = ::GlobalSize(data);
  const auto* block = static_cast<const uint8_t*>(::GlobalLock(data));
  if (!block) return false;
  auto names = ParseDropFiles(block, size, FromAnsi);
  ::GlobalUnlock(data);
  if (!names) return false;
  files = std::move(*names);
  return true;
}
