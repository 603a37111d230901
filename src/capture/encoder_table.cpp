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
