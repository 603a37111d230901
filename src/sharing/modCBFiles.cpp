#include "sharing/modCBFiles.h"

#include <shlwapi.h>

#include <cstring>
#include <utility>

#include "capture/encoder_table.h"
#include "sharing/sharing_rules.h"
#include "win/clipboard.h"
#include "win/com.h"
#include "win/gdi.h"
#include "win/gdiplus.h"
#include "win/global.h"
#include "win/text_codec.h"

namespace {

// A packed DIB: the header, then 24-bit rows bottom to top. Not 32-bit: some programs
// read a 32-bit DIB's fourth byte as transparency.
win::unique_hglobal PackedDib(const win::DibSection& picture) {
  const int w = picture.width(), h = picture.height();
  BITMAPINFOHEADER header{sizeof header, w, h, 1, 24, BI_RGB};
  const size_t rowBytes = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
  header.biSizeImage = static_cast<DWORD>(rowBytes * h);
  win::unique_hglobal block(::GlobalAlloc(GMEM_MOVEABLE, sizeof header + rowBytes * h));
  win::global_lock lock(block.get());
  auto* p = static_cast<uint8_t*>(lock.get());
  if (!p) return {};
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
  return block;
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
win::unique_hglobal PngBlock(const win::DibSection& picture) {
  win::gdiplus::Session session;
  if (!session) return {};
  const auto& gdip = win::gdiplus::Functions();
  win::gdiplus::unique_gpbitmap bitmap;
  {
    win::DibSection::Unselected out(picture);
    if (gdip.createFromHbitmap(picture.bitmap(), nullptr, bitmap.put()) != Gdiplus::Ok) return {};
  }
  const auto choice = modSaveImages::ChooseEncoder(L".png", 100, 24, 6);
  const auto guid = choice ? modSaveImages::ParseGuid(choice->clsid) : std::nullopt;
  if (!guid) return {};
  CLSID clsid{guid->data1, guid->data2, guid->data3, {}};
  std::memcpy(clsid.Data4, guid->data4, 8);
  win::ComPtr<IStream> stream(::SHCreateMemStream(nullptr, 0));
  STATSTG stat{};
  LARGE_INTEGER start{};
  if (!stream || gdip.saveToStream(bitmap.get(), stream.get(), &clsid, nullptr) != Gdiplus::Ok ||
      FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr)))
    return {};
  const size_t size = static_cast<size_t>(stat.cbSize.QuadPart);
  win::unique_hglobal block(::GlobalAlloc(GMEM_MOVEABLE, size));
  win::global_lock lock(block.get());
  ULONG read = 0;
  if (!lock || FAILED(stream->Read(lock.get(), static_cast<ULONG>(size), &read)) || read != size) return {};
  return block;
}

}  // namespace

bool modCBFiles::CopyPictureToClipboard(HWND owner, const win::DibSection& picture) {
  if (!picture) return false;
  // Everything is made before the clipboard is opened: it is held as briefly as possible.
  win::unique_hbitmap bitmap(DeviceBitmap(picture));
  win::unique_hglobal dib = PackedDib(picture), png = PngBlock(picture);
  win::clipboard_open clipboard(owner);
  if (!clipboard || !::EmptyClipboard()) return false;
  bool any = false;
  // The clipboard owns what it accepts; what it refuses is freed by its owner here.
  if (bitmap && ::SetClipboardData(CF_BITMAP, bitmap.get())) bitmap.release(), any = true;
  if (dib && ::SetClipboardData(CF_DIB, dib.get())) dib.release(), any = true;
  static const UINT pngFormat = ::RegisterClipboardFormatW(L"PNG");
  if (png && pngFormat && ::SetClipboardData(pngFormat, png.get())) png.release();
  return any;
}

bool modCBFiles::GetClipboardFiles(std::vector<std::wstring>& files, bool* held) {
  if (!::IsClipboardFormatAvailable(CF_HDROP)) return false;
  win::clipboard_open clipboard(nullptr);
  if (held) *held = !clipboard;
  if (!clipboard) return false;
  HANDLE data = ::GetClipboardData(CF_HDROP);
  if (!data) return false;
  const size_t size = ::GlobalSize(data);
  win::global_lock lock(data);
  if (!lock) return false;
  auto names = ParseDropFiles(static_cast<const uint8_t*>(lock.get()), size,
                              [](std::string_view ansi) { return win::FromAnsi(ansi); });
  if (!names) return false;
  files = std::move(*names);
  return true;
}
