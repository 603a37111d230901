// Start-up time: process start to the main window shown, against a floor program that only
// shows a window, alternating runs under the same warm Wine.
#include "bench_util.h"

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 41;
  const std::wstring floorExe = bench::BesideMe(L"floor_window.exe");
  const std::wstring lumoExe = bench::BesideMe(L"MirelLumo.exe");
  bench::TimeToWindow(floorExe, L"", L"LumoBench.Floor");  // warm-up of both
  bench::TimeToWindow(lumoExe, L"allowmultinstance", L"MirelLumo.frmMain");
  std::vector<double> floor, lumo;
  for (int i = 0; i < runs; ++i) {
    floor.push_back(bench::TimeToWindow(floorExe, L"", L"LumoBench.Floor"));
    lumo.push_back(bench::TimeToWindow(lumoExe, L"allowmultinstance", L"MirelLumo.frmMain"));
  }
  const double f = bench::Median(floor), l = bench::Median(lumo);
  std::printf("start to main window, median of %d runs\n", runs);
  std::printf("  floor (window only): %8.1f ms\n", f);
  std::printf("  MirelLumo.exe:       %8.1f ms\n", l);
  std::printf("  ratio:               %8.2f (target <= 1.25)\n", l / f);
  return 0;
}
