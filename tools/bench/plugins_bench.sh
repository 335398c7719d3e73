#!/usr/bin/env bash
# Times the shell's plugin loading (registration, plugin array, menus, list)
# with 1000 plugin sections in "Tovrin.ini" and 20 ".svx" files in the
# program folder, under Wine with a warm prefix, on a virtual display:
#   reload: WM_SHELL_COMMAND 0 sent to the running shell, which returns once
#           the whole reload is done (5 per start);
#   start:  Solvika.exe to its main window with those plugins, against the
#           same program in a folder without plugins, in the same run.
# Both must stay under 500 ms (the start as the difference). Prints a
# Markdown table.
#
#   BUILD_DIR=... tools/bench/plugins_bench.sh [rounds]
set -euo pipefail
cd "$(dirname "$0")/../.."
ROUNDS="${1:-7}"
LIMIT_MS=500
SECTIONS=1000
LIBRARIES=20
source tools/env.sh
if [ -z "${PLUGINS_BENCH_DISPLAY:-}" ]; then
  configure_and_build >/dev/null
  ensure_wineprefix
  PLUGINS_BENCH_DISPLAY=1 exec xvfb-run -a --server-args="-screen 0 1280x1024x24" "$0" "$@"
fi

WORK="$(mktemp -d /tmp/svpluginsbench.XXXXXX)"
trap 'rm -rf "$WORK"' EXIT
for folder in full empty; do
  mkdir -p "$WORK/$folder"
  find "$BUILD_DIR/program" -maxdepth 1 -type f \( -name '*.exe' -o -name '*.dll' \) -exec cp -f {} "$WORK/$folder/" \;
  printf '[Solvika]\r\nShowProxy=0\r\n' >"$WORK/$folder/Tovrin.ini"
done
for i in $(seq -w 0 $((LIBRARIES - 1))); do cp "$BUILD_DIR/testbin/Alpha.svx" "$WORK/full/P$i.svx"; done
python3 - "$WORK/full/Tovrin.ini" "$SECTIONS" "$LIBRARIES" <<'PY'
import sys
path, sections, libraries = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
lines = ["[Solvika]", "ShowProxy=0"]
for i in range(sections):
    lines += [f"[*Plugin{i:04d}]", f"Name=Плагин номер {i}", f"Section=Раздел {i % 25}",
              f"Library=P{i % libraries:02d}.svx" if i < libraries * 10 else f"Library=Missing{i}.svx",
              f"Version={i % 3}", f"NewVersion={i % 4}"]
open(path, "wb").write(("\r\n".join(lines) + "\r\n").encode("cp1251"))
PY

to_win() { echo "Z:$(echo "$1/" | tr / '\\')"; }
measure() {  # folder reloads
  local win; win="$(to_win "$WORK/$1")"
  wine "$BUILD_DIR/testbin/start_bench.exe" "$ROUNDS" "${win}Solvika.exe" "-tnnetdefaulthost:127.0.0.1:1" \
    "$win" TSolvikaMainForm notepad.exe Notepad "$2" 2>/dev/null | tr -d '\r'
}
wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1
measure full 1 >/dev/null || true  # warm caches
sync
full="$(measure full 5)"
empty="$(measure empty 0)"
wineserver -k 2>/dev/null || true
value() { echo "$1" | sed -n "s/^$2=//p"; }
full_ms="$(value "$full" PROGRAM_MS)"; empty_ms="$(value "$empty" PROGRAM_MS)"; reload_ms="$(value "$full" RELOAD_MS)"
emulated=""
if [ -e /proc/sys/fs/binfmt_misc/solvika-i386 ]; then emulated=" (through QEMU emulation)"; fi
echo "| Measurement$emulated | median (ms) | Limit |"
echo "|---|---|---|"
echo "| reload (command 0), $SECTIONS sections, $LIBRARIES libraries | $reload_ms | < $LIMIT_MS |"
echo "| start to main window, with those plugins | $full_ms | |"
echo "| start to main window, no plugins | $empty_ms | |"
echo "| plugin loading at start (difference) | $(python3 -c "print(f'{$full_ms-$empty_ms:.1f}')") | < $LIMIT_MS |"
python3 -c "import sys; sys.exit(0 if $reload_ms < $LIMIT_MS and $full_ms - $empty_ms < $LIMIT_MS else 1)"
