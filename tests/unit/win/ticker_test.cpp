// The overlay's steady tick.
#include "win/ticker.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

constexpr UINT Tick = WM_APP + 7;

struct MessageWindow {
  HWND hwnd = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ~MessageWindow() { ::DestroyWindow(hwnd); }
  // Ticks taken from the queue during the given time; each is reported handled when `handle`.
  int Count(win::Ticker& ticker, int milliseconds, bool handle) {
    int ticks = 0;
    for (const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
         std::chrono::steady_clock::now() < end;) {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_POSTMESSAGE);
      for (MSG m; ::PeekMessageW(&m, hwnd, Tick, Tick, PM_REMOVE); ++ticks)
        if (handle) ticker.Handled();
    }
    return ticks;
  }
};

TEST(Ticker, TicksWhileStartedWithOneWaitingAtMostAndNoneWhenStopped) {
  MessageWindow w;
  ASSERT_NE(w.hwnd, nullptr);
  win::Ticker ticker;
  ASSERT_TRUE(ticker.Start(w.hwnd, Tick, 10));
  // Handled ticks keep coming, about one per interval.
  const int handled = w.Count(ticker, 300, true);
  EXPECT_TRUE(handled >= 10 && handled <= 40) << handled;
  // A window that does not get round to its ticks finds one waiting, not a flood.
  ::Sleep(100);
  EXPECT_EQ(w.Count(ticker, 50, false), 1);
  ticker.Stop();
  ticker.Handled();
  w.Count(ticker, 30, true);  // one may have been on its way
  EXPECT_EQ(w.Count(ticker, 100, true), 0);
  // Started again, it ticks again; it belongs to the window and message it began with.
  ASSERT_TRUE(ticker.Start(w.hwnd, Tick, 10));
  EXPECT_GE(w.Count(ticker, 100, true), 3);
  EXPECT_FALSE(ticker.Start(w.hwnd, Tick + 1, 10));
}

}  // namespace
