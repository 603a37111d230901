// Start-up time: process start to the main window shown, against a floor program that only
// shows a window, alternating runs under the same warm Wine.
#include "bench_util.h"

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 41;
  const std::wstring floorExe = bench::BesideMe(L"floor_window.exe");
  const std::wstring lumoExe = bench::BesideMe(L"MirelLumo.exe");
  // Warm-up of both: the first starts after Wine's services come up vary most.
  for (int i = 0; i < 5; ++i) {
    bench::TimeToWindow(floorExe, L"", L"LumoBench.Floor");
    bench::TimeToWindow(lumoExe, L"allowmultinstance", L"MirelLumo.frmMain");
  }
  // Each run is a pair started back to back, so that the machine's drift between runs
  // (Wine's timing wanders by tens of milliseconds) falls on both alike.
  std::vector<double> floor, lumo, pairRatio;
  for (int i = 0; i < runs; ++i) {
    floor.push_back(bench::TimeToWindow(floorExe, L"", L"LumoBench.Floor"));
    lumo.push_back(bench::TimeToWindow(lumoExe, L"allowmultinstance", L"MirelLumo.frmMain"));
    if (floor.back() > 0 && lumo.back() > 0) pairRatio.push_back(lumo.back() / floor.back());
  }
  const double f = bench::Median(floor), l = bench::Median(lumo);
  std::printf("start to main window, median of %d runs\n", runs);
  std::printf("  floor (window only): %8.1f ms\n", f);
  std::printf("  MirelLumo.exe:       %8.1f ms\n", l);
  std::printf("  ratio of medians:    %8.2f\n", l / f);
  std::printf("  median pair ratio:   %8.2f (target <= 1.25)\n", bench::Median(pairRatio));
  return 0;
}
