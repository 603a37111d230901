# Shared set-up for scripts/build, scripts/run and scripts/test: packages, build trees,
# the project's own Wine prefix and a private X display. Source it; it defines functions only.

LUMO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
LUMO_PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev googletest
  g++-mingw-w64-x86-64-posix wine wine64 fonts-wine xvfb xfonts-base xfonts-75dpi twm x11-utils xserver-xephyr zip)

lumo_say() { printf '==> %s\n' "$*" >&2; }

# Installs whatever Debian package of the list is missing (root, or sudo when there is one).
lumo_install() {
  local missing=() p
  for p in "${LUMO_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  lumo_say "installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Configures and builds the Windows tree (exe, Wine tests, benchmarks) and the native tree
# (portable logic with sanitizers, fuzz targets), as CMakePresets.json names them.
lumo_build() {
  local what=${1:-all}
  local preset
  for preset in windows native; do
    [ "$what" = all ] || [ "$what" = "$preset" ] || continue
    (cd "$LUMO_ROOT" && cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j "$(nproc)")
  done
}

# The number of a free X display from 90 on (or from the first argument).
lumo_free_display() {
  local n=${1:-90}
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  echo "$n"
}

# Waits for the X server just started on display $1 (named $2 in the message), exports
# DISPLAY and starts twm on it. Without a window manager every hide or destroy of a
# top-level window stalls Wine for 2 s.
lumo_attach_display() {
  local i
  for i in $(seq 1 100); do [ -e "/tmp/.X11-unix/X$1" ] && break; sleep 0.1; done
  [ -e "/tmp/.X11-unix/X$1" ] || { lumo_say "$2 did not start"; return 1; }
  export DISPLAY=":$1"
  twm -f "$LUMO_ROOT/scripts/lib/twmrc" >/dev/null 2>&1 &
  LUMO_TWM_PID=$!
  # twm ends at once when it cannot start (no fonts, say); the tests would then stall.
  sleep 0.5
  kill -0 "$LUMO_TWM_PID" 2>/dev/null || { lumo_say "twm did not start"; return 1; }
}

# Starts Xvfb (never resetting) with twm on a free display and exports DISPLAY.
lumo_start_display() {
  local n
  n=$(lumo_free_display)
  Xvfb ":$n" -screen 0 "${LUMO_SCREEN:-1920x1080x24}" -noreset -nolisten tcp >/dev/null 2>&1 &
  LUMO_XVFB_PID=$!
  lumo_attach_display "$n" Xvfb
}

# A display with two monitors, for the two-monitor tests: Xvfb holds an Xephyr server whose
# Xinerama has a 1024 x 768 head at the origin and a 1280 x 1024 head right of it, 200
# pixels lower. Wine, told to take the second head as the primary (lumo_wine_prefix's third
# argument), then sees the first left of the primary and reaching above it, at
# (-1024, -200)..(0, 568): negative coordinates both ways. Xvfb alone puts every Xinerama
# head at the origin.
lumo_start_two_monitors() {
  local host n
  n=$(lumo_free_display)
  host=":$n"
  Xvfb "$host" -screen 0 2304x1224x24 -noreset -nolisten tcp >/dev/null 2>&1 &
  LUMO_XVFB_PID=$!
  for _ in $(seq 1 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  n=$(lumo_free_display $((n + 1)))
  DISPLAY=$host Xephyr ":$n" +xinerama -screen 1024x768 -origin 1024,200 -screen 1280x1024 -noreset \
    -nolisten tcp >/dev/null 2>&1 &
  LUMO_XEPHYR_PID=$!
  lumo_attach_display "$n" Xephyr
}

lumo_stop_display() {
  [ -n "${LUMO_TWM_PID:-}" ] && kill "$LUMO_TWM_PID" 2>/dev/null
  [ -n "${LUMO_XEPHYR_PID:-}" ] && kill "$LUMO_XEPHYR_PID" 2>/dev/null
  [ -n "${LUMO_XVFB_PID:-}" ] && kill "$LUMO_XVFB_PID" 2>/dev/null
  LUMO_TWM_PID= LUMO_XEPHYR_PID= LUMO_XVFB_PID=
}

# Points Wine at a prefix of the project's own (never ~/.wine), creates it on first use,
# makes Wine's fonts visible inside it and keeps a wineserver running for fast starts.
# A second argument sets the screen density in dots per inch: Wine fixes it when its
# services start, so it is written before they do. A third names the Xinerama head Wine
# takes as the primary monitor (Wine then reads the heads from Xinerama, not RandR).
lumo_wine_prefix() {
  export WINEPREFIX=$1 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    lumo_say "creating Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
  fi
  if [ -n "${2:-}" ]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$2" /f >/dev/null 2>&1 </dev/null || true
  fi
  if [ -n "${3:-}" ]; then
    local key='HKCU\Software\Wine\X11 Driver'
    wine reg add "$key" /v UseXRandR /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null || true
    wine reg add "$key" /v PrimaryMonitor /t REG_SZ /d "$3" /f >/dev/null 2>&1 </dev/null || true
  fi
  # The program registers itself to start with Windows, and Wine runs those entries when
  # its services start: drop ours, or every start would begin with a stray instance.
  wineserver -k >/dev/null 2>&1 || true
  [ -f "$WINEPREFIX/user.reg" ] && sed -i '/^"MirelLumo"=/d' "$WINEPREFIX/user.reg"
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  cp -n /usr/share/wine/fonts/*.ttf "$fonts/" 2>/dev/null || true
  wineserver -p >/dev/null 2>&1 || true
  # Start Wine's own services now, detached from our output: a service started by a test
  # would inherit the test's stdout and hold its pipe open after the test has ended.
  wine wineboot >/dev/null 2>&1 </dev/null || true
}

# The same for the desktop's process, for a test run: Wine ends it a moment after the last
# program on the desktop has ended, and the next program to need it starts a new one with
# that program's output. A program that keeps the desktop in use until Wine stops means no
# test ever starts one.
lumo_keep_desktop() {
  wine "$LUMO_ROOT/build/windows/bin/desktop_keeper.exe" >/dev/null 2>&1 </dev/null &
}

lumo_stop_wine() { [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1; true; }
