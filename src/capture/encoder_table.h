#pragma once
// Which encoder writes which extension, and with which parameters. The extension is
// compared exactly: ".JPG" or ".jpeg" is not in the table.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace modSaveImages {

enum class ImageFormat { Jpeg, Png, Gif, Tiff, Bmp };

struct EncoderParam {
  const wchar_t* guid;  // the parameter's GUID in registry form
  int32_t value;        // one 32-bit value (type 4)
};

struct EncoderChoice {
  ImageFormat format;
  const wchar_t* clsid;  // nullptr for BMP, which is written without GDI+
  std::vector<EncoderParam> params;
};

inline constexpr const wchar_t* EncoderQuality = L"{1D5BE4B5-FA4A-452D-9CDD-5DB35105E7EB}";
inline constexpr const wchar_t* EncoderCompression = L"{E09D739D-CCD4-44EE-8EBA-3FBF8BE4FC58}";
inline constexpr const wchar_t* EncoderColorDepth = L"{66087055-AD66-4C7C-9A18-38A2310B8337}";

// A GUID in registry form, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", in the platform's
// memory layout (Data1, Data2, Data3, Data4[8]).
struct GuidValue {
  uint32_t data1 = 0;
  uint16_t data2 = 0, data3 = 0;
  uint8_t data4[8] = {};
};
std::optional<GuidValue> ParseGuid(std::wstring_view text);

std::optional<EncoderChoice> ChooseEncoder(std::wstring_view extension, int32_t quality, int32_t colourDepth,
                                           int32_t compression);

}  // namespace modSaveImages
