# Environment for building and running the program under Wine; sourced by the
# other scripts. BUILD_DIR may be set by the caller.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
export LC_ALL=ru_RU.UTF-8
export WINEDEBUG=-all
export WINEARCH=win32
export WINEPREFIX="$BUILD_DIR/wineprefix"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# Creates the Wine prefix once per build tree.
ensure_wineprefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine: creating prefix $WINEPREFIX"
    mkdir -p "$BUILD_DIR"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
  fi
  # The caption buttons' font, fetched by setup.sh; a new font in the fonts
  # folder is found at the next start of a Wine program.
  local marlett=/usr/local/share/solvika/marlett.ttf fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ -s "$marlett" ] && [ ! -f "$fonts/marlett.ttf" ]; then
    mkdir -p "$fonts" && cp "$marlett" "$fonts/"
  fi
  # A program that crashes ends at once, with Wine's report on its error
  # output: Wine's crash dialog would hold a test until a click nobody gives.
  if ! grep -q '"ShowCrashDialog"=dword:00000000' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
    wineserver -w || true
  fi
  # Without a window manager on the virtual display, Wine waits about 2 s each
  # time a managed window closes; unmanaged windows close at once.
  if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || true
    wineserver -w || true
  fi
}

configure_and_build() {
  cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw32.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$BUILD_DIR" -j "$(nproc)"
}
