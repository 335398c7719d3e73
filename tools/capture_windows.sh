#!/usr/bin/env bash
# Captures every window the program can show so far into build/screenshots/
# (PNG files), on a virtual display of its own; look at them after a change.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/env.sh
ensure_wineprefix
out="$BUILD_DIR/screenshots"
mkdir -p "$out"

capture_all() {
  local name
  # Wine's own services start first, so that each window's time is its own.
  wineserver -p
  wine cmd /c exit </dev/null >/dev/null 2>&1
  for name in password error splash plugins; do
    wine "$BUILD_DIR/testbin/window_preview.exe" "$name" >/dev/null 2>&1 &
    local pid=$!
    sleep "${CAPTURE_WAIT:-8}"
    import -window root "$out/$name.png"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    echo "capture: $out/$name.png"
  done
  wineserver -k 2>/dev/null || true
}
# Without a display, the script runs itself again on a virtual one.
if [ -n "${DISPLAY:-}" ]; then
  capture_all
else
  xvfb-run -a --server-args="-screen 0 1024x768x24" "$0"
fi
