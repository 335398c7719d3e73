#!/usr/bin/env bash
# Sets up the machine, builds, and runs the program under Wine against the
# local server with the demo content that tools/demo/demo.py makes from the
# build: the plugin catalogue, the update list and their files.
#
# The program folder ($SOLVIKA_DEMO_DIR, by default ~/.local/share/solvika-demo)
# survives between runs: each run refreshes the program files from the build
# and keeps the settings, downloads and installed plugins.
#
# With a display (DISPLAY set) the windows appear there. Without one the
# program runs on a virtual display: once its main window is up a screenshot
# is written to build/screenshots/run-main.png, and the program keeps running
# until Ctrl+C. The server stops when the program ends.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${SOLVIKA_RUN_PREPARED:-}" ]; then
  bash tools/setup.sh
  source tools/env.sh
  configure_and_build
  ensure_wineprefix
  export SOLVIKA_RUN_PREPARED=1
  if [ -z "${DISPLAY:-}" ]; then
    export SOLVIKA_VIRTUAL_DISPLAY=1
    exec xvfb-run -a --server-args="-screen 0 1280x1024x24" "$0" "$@"
  fi
fi
source tools/env.sh

MAIN_WINDOW_TITLE="Программа Solvika"
MAIN_WINDOW_WAIT_S=120
# After the main window appears, the plugins' windows open and the banner grid
# loads: the picture waits until they are on screen.
SETTLE_WAIT_S=5
PROGRAM_DIR="${SOLVIKA_DEMO_DIR:-$HOME/.local/share/solvika-demo}"
mkdir -p "$PROGRAM_DIR"
# The program's own files and bundled plugins, fresh from the build; the
# settings, downloads and plugins installed from the catalogue stay.
python3 tools/demo/demo.py program --build "$BUILD_DIR" --into "$PROGRAM_DIR"

SITE="$(mktemp -d /tmp/solvika-site.XXXXXX)"
python3 tools/localserver/server.py --root "$SITE" --port-file "$SITE.port" >/dev/null 2>"$SITE.err" &
SERVER_PID=$!
PROGRAM_PID=""
stop_all() {
  if [ -n "$PROGRAM_PID" ]; then kill "$PROGRAM_PID" 2>/dev/null || true; fi
  wineserver -k 2>/dev/null || true
  kill "$SERVER_PID" 2>/dev/null && wait "$SERVER_PID" 2>/dev/null
  rm -rf "$SITE" "$SITE.port" "$SITE.err"
}
trap stop_all EXIT
trap 'exit 130' INT TERM
for _ in $(seq 1 100); do
  [ -s "$SITE.port" ] && break
  sleep 0.05
done
[ -s "$SITE.port" ] || { cat "$SITE.err" >&2; echo "run: the local server did not start" >&2; exit 1; }
PORT="$(cat "$SITE.port")"
python3 tools/demo/demo.py site --build "$BUILD_DIR" --out "$SITE" --port "$PORT"
# The browser plugin's demo pages, pointed at this run's server.
python3 tools/demo/pages/install.py --into "$PROGRAM_DIR" --port "$PORT"
echo "run: local server on 127.0.0.1:$PORT, program folder $PROGRAM_DIR"

# Wine's own services first, so that they do not hold this script's output.
wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1
(cd "$PROGRAM_DIR" && exec wine Solvika.exe "-tnnetdefaulthost:127.0.0.1:$PORT" "$@") &
PROGRAM_PID=$!

# On the virtual display nobody sees the window: take its picture instead.
if [ "${SOLVIKA_VIRTUAL_DISPLAY:-}" = 1 ]; then
  shot="$BUILD_DIR/screenshots/run-main.png"
  mkdir -p "$(dirname "$shot")"
  up=0
  for _ in $(seq 1 $((MAIN_WINDOW_WAIT_S * 4))); do
    if xwininfo -root -tree 2>/dev/null | grep -q "$MAIN_WINDOW_TITLE"; then up=1; break; fi
    kill -0 "$PROGRAM_PID" 2>/dev/null || break
    sleep 0.25
  done
  if [ "$up" = 1 ]; then
    sleep "$SETTLE_WAIT_S"
    import -window root "$shot"
    echo "run: the main window is up; screenshot: $shot"
  else
    echo "run: the main window did not appear within ${MAIN_WINDOW_WAIT_S} s" >&2
  fi
  echo "run: the program keeps running on the virtual display; Ctrl+C ends it"
fi
wait "$PROGRAM_PID" || true
# A restart after an update (the catalogue's "-closeprev") is a new process
# that the old one started: the server stays until every program under this
# Wine has ended.
wineserver -w 2>/dev/null || true
