#!/usr/bin/env bash
# Captures every window the program can show so far into build/screenshots/
# (PNG files), on a virtual display of its own; look at them after a change.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/env.sh
ensure_wineprefix
out="$BUILD_DIR/screenshots"
mkdir -p "$out"

# name:seconds to wait before the picture (the popup notice fades out again).
PREVIEWS=(password:8 error:8 splash:8 popup:3 plugins:8)
MAIN_WINDOW_TITLE="Программа Solvika"

# Waits until a top-level X window whose name contains $1 is on screen.
wait_for_title() {
  local i
  for i in $(seq 1 240); do
    xwininfo -root -tree 2>/dev/null | grep -q "$1" && return 0
    sleep 0.25
  done
  return 1
}

capture_previews() {
  local entry name wait pid
  for entry in "${PREVIEWS[@]}"; do
    name="${entry%%:*}"
    wait="${entry##*:}"
    wine "$BUILD_DIR/testbin/window_preview.exe" "$name" >/dev/null 2>&1 &
    pid=$!
    sleep "${CAPTURE_WAIT:-$wait}"
    import -window root "$out/$name.png"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    echo "capture: $out/$name.png"
  done
}

# The program itself in a scratch folder: with the plugin host its main
# window, without it the question that comes first.
capture_program() {
  local name="$1" wanted="$2" skip="$3" folder pid item
  shift 3
  # The rest: menu commands to give the running program before the picture.
  folder="$(mktemp -d /tmp/solvika-capture.XXXXXX)"
  python3 tools/demo/demo.py program --build "$BUILD_DIR" --into "$folder"
  printf '[main]\r\nContentViewAsList=0\r\n' >"$folder/SolvikaLC.ini"
  [ -n "$skip" ] && rm -f "$folder/$skip"
  if [ ! -f "$folder/Solvika.exe" ]; then
    echo "capture: no Solvika.exe in the build, $name skipped"
    rm -rf "$folder"
    return
  fi
  # PROGRAM_ARGS: a mode of the launcher to start in (the update wizard's).
  (cd "$folder" && exec wine Solvika.exe ${PROGRAM_ARGS:-} -tnnetdefaulthost:127.0.0.1:1) >/dev/null 2>&1 &
  pid=$!
  if wait_for_title "$wanted"; then
    sleep 1
    for item in "$@"; do
      wine "$BUILD_DIR/testbin/window_preview.exe" menu "$item" >/dev/null 2>&1 || true
      sleep 1
    done
    import -window root "$out/$name.png"
    echo "capture: $out/$name.png"
  else
    echo "capture: $name did not appear"
  fi
  wineserver -k 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  rm -rf "$folder"
  wineserver -p
}

capture_all() {
  # Wine's own services start first, so that each window's time is its own.
  wineserver -p
  wine cmd /c exit </dev/null >/dev/null 2>&1
  capture_previews
  capture_program main "$MAIN_WINDOW_TITLE" ""
  # The demo plugins are rows 1 and 2 of the list (row 0 is their group).
  capture_program main-two-plugins "$MAIN_WINDOW_TITLE" "" 3001 3002
  # "Опции" -> "Мастер закачек": the downloads window.
  capture_program downloads "$MAIN_WINDOW_TITLE" "" 2411
  # "Проверить обновления": the plugin catalogue (no server here, so its
  # message about the connection stands in front).
  capture_program catalogue-shell "$MAIN_WINDOW_TITLE" "" 2410
  PROGRAM_ARGS=-update capture_program update-wizard "Обновление программы Solvika" ""
  capture_program plugins-missing "Solvika" TovrinPlugins.dll
  wineserver -k 2>/dev/null || true
}
# Without a display, the script runs itself again on a virtual one.
if [ -n "${DISPLAY:-}" ]; then
  capture_all
else
  xvfb-run -a --server-args="-screen 0 1024x768x24" "$0"
fi
