// Start-up times under the same warm Wine, each against a floor program measured in the same
// run: process start to the main window shown (floor: a program that only shows a window),
// and "screencapture" to the overlay shown (floor: a topmost full-screen window only).
#include "bench_util.h"

namespace {

struct Subject {
  std::wstring args;
  const wchar_t* className;
  bool end;  // the overlay only hides when closed: end the process instead
};

void Compare(const char* title, double target, int runs, const Subject& floor, const Subject& lumo) {
  const std::wstring floorExe = bench::BesideMe(L"floor_window.exe");
  const std::wstring lumoExe = bench::BesideMe(L"MirelLumo.exe");
  auto time = [&](const std::wstring& exe, const Subject& s) { return bench::TimeToWindow(exe, s.args, s.className, s.end); };
  // Warm-up of both: the first starts after Wine's services come up vary most.
  for (int i = 0; i < 5; ++i) time(floorExe, floor), time(lumoExe, lumo);
  // Each run is a pair started back to back, so that the machine's drift between runs
  // (Wine's timing wanders by tens of milliseconds) falls on both alike.
  std::vector<double> f, l, pairRatio;
  for (int i = 0; i < runs; ++i) {
    f.push_back(time(floorExe, floor));
    l.push_back(time(lumoExe, lumo));
    if (f.back() > 0 && l.back() > 0) pairRatio.push_back(l.back() / f.back());
  }
  const double fm = bench::Median(f), lm = bench::Median(l);
  std::printf("%s, median of %d runs\n", title, runs);
  std::printf("  floor:               %8.1f ms\n", fm);
  std::printf("  MirelLumo.exe:       %8.1f ms\n", lm);
  std::printf("  ratio of medians:    %8.2f\n", lm / fm);
  std::printf("  median pair ratio:   %8.2f (target <= %.2f)\n", bench::Median(pairRatio), target);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 41;
  Compare("start to main window (floor: a window only)", 1.25, runs, {L"", L"LumoBench.Floor", false},
          {L"allowmultinstance", L"MirelLumo.frmMain", false});
  Compare("screencapture to overlay shown (floor: a topmost full-screen window only)", 1.15, runs,
          {L"overlay", L"LumoBench.Floor", true}, {L"screencapture allowmultinstance", L"MirelLumo.frmCapture", true});
  return 0;
}
