// The e-mail and JIRA hand-offs' file: composing the export of a 3840 x 2160 picture and
// saving it as a JPEG, against a floor that only saves the same picture with GDI+, in the
// same run.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "capture/modSaveImages.h"
#include "sharing/modExport.h"

namespace {

double Now() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main() {
  constexpr int W = 3840, H = 2160, Rounds = 11;
  win::DibSection picture(W, H);
  std::mt19937 rng(3);
  // A screenshot-like picture: flat areas with some detail, as a desktop has.
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      picture.pixels()[static_cast<size_t>(y) * W + x] =
          ((x / 64 + y / 48) % 5 == 0) ? (rng() & 0x00FFFFFF) : 0x00F0F0F0u - static_cast<uint32_t>((y / 200) * 0x050505);
  HBITMAP footer = static_cast<HBITMAP>(::LoadImageW(nullptr, L"footer.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  wchar_t temp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, temp);
  const std::wstring floorPath = std::wstring(temp) + L"export-bench-floor.jpg";
  const std::wstring exportPath = std::wstring(temp) + L"export-bench.jpg";

  win::DibSection pbxHidden;  // kept from one hand-off to the next, as the window keeps it
  std::vector<double> floorMs, exportMs, ratios;
  for (int i = 0; i < Rounds; ++i) {
    double t0 = Now();
    bool floorOk = false;
    {
      win::DibSection::Unselected forEncoder(picture);
      floorOk = modSaveImages::SaveImageFile(picture.bitmap(), floorPath, L".jpg", 100, 24, 6);
    }
    const double f = Now() - t0;
    t0 = Now();
    bool exportOk = modExport::ComposeExportImage({W, H, picture.pixels()}, footer, pbxHidden);
    if (exportOk) {
      win::DibSection::Unselected forEncoder(pbxHidden);
      exportOk = modSaveImages::SaveImageFile(pbxHidden.bitmap(), exportPath, L".jpg", 100, 24, 6);
    }
    const double e = Now() - t0;
    if (!floorOk || !exportOk) {
      std::printf("export_bench: a save failed\n");
      return 1;
    }
    floorMs.push_back(f);
    exportMs.push_back(e);
    ratios.push_back(e / f);
  }
  ::DeleteFileW(floorPath.c_str());
  ::DeleteFileW(exportPath.c_str());
  std::printf("export_bench: %d x %d picture to a JPEG attachment, %d rounds\n", W, H, Rounds);
  std::printf("  compose and save, median  %8.1f ms\n", Median(exportMs));
  std::printf("  floor: save only, median  %8.1f ms\n", Median(floorMs));
  std::printf("  ratio of medians %.3f, median pair ratio %.3f (target <= 1.15)%s\n", Median(exportMs) / Median(floorMs),
              Median(ratios), footer ? "" : "  [footer.bmp not found beside the program]");
  return 0;
}
