#include "capture/encoder_table.h"

std::optional<modSaveImages::EncoderChoice> modSaveImages::ChooseEncoder(std::wstring_view extension,
                                                                         int32_t quality, int32_t colourDepth,
                                                                         int32_t compression) {
  if (extension == L".jpg")
    return EncoderChoice{ImageFormat::Jpeg, L"{557CF401-1A04-11D3-9A73-0000F81EF32E}", {{EncoderQuality, quality}}};
  if (extension == L".png") return EncoderChoice{ImageFormat::Png, L"{557CF406-1A04-11D3-9A73-0000F81EF32E}", {}};
  if (extension == L".gif") return EncoderChoice{ImageFormat::Gif, L"{557CF402-1A04-11D3-9A73-0000F81EF32E}", {}};
  if (extension == L".tiff")
    return EncoderChoice{ImageFormat::Tiff, L"{557CF405-1A04-11D3-9A73-0000F81EF32E}",
                         {{EncoderCompression, compression}, {EncoderColorDepth, colourDepth}}};
  if (extension == L".bmp") return EncoderChoice{ImageFormat::Bmp, nullptr, {}};
  return std::nullopt;
}

std::optional<modSaveImages::GuidValue> modSaveImages::ParseGuid(std::wstring_view text) {
  // {8-4-4-4-12}: 38 characters with the braces.
  if (text.size() != 38 || text.front() != L'{' || text.back() != L'}') return std::nullopt;
  std::wstring_view body = text.substr(1, 36);
  uint8_t bytes[16] = {};
  size_t n = 0;
  for (size_t i = 0; i < body.size();) {
    if (i == 8 || i == 13 || i == 18 || i == 23) {
      if (body[i] != L'-') return std::nullopt;
      ++i;
      continue;
    }
    auto hex = [](wchar_t c) -> int {
      if (c >= L'0' && c <= L'9') return c - L'0';
      if (c >= L'a' && c <= L'f') return c - L'a' + 10;
      if (c >= L'A' && c <= L'F') return c - L'A' + 10;
      return -1;
    };
    const int hi = hex(body[i]), lo = hex(body[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    bytes[n++] = static_cast<uint8_t>(hi * 16 + lo);
    i += 2;
  }
  GuidValue g;
  g.data1 = (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) | bytes[3];
  g.data2 = static_cast<uint16_t>((bytes[4] << 8) | bytes[5]);
  g.data3 = static_cast<uint16_t>((bytes[6] << 8) | bytes[7]);
  for (int i = 0; i < 8; ++i) g.data4[i] = bytes[8 + i];
  return g;
}
