#!/usr/bin/env bash
# Times the program's start: from starting "Solvika.exe" to its main window
# on screen (network engine and download manager started by then), under
# Wine with a warm prefix, on a virtual display. The reference is Wine's own
# Notepad from its start to its window, in the same run, alternated.
# Must stay under 500 ms. Prints a Markdown table.
#
#   BUILD_DIR=... tools/bench/start_bench.sh [rounds]
set -euo pipefail
cd "$(dirname "$0")/../.."
ROUNDS="${1:-15}"
LIMIT_MS=500
source tools/env.sh
if [ -z "${START_BENCH_DISPLAY:-}" ]; then
  configure_and_build >/dev/null
  ensure_wineprefix
  # The timing needs a display of its own: run again on a virtual one.
  START_BENCH_DISPLAY=1 exec xvfb-run -a --server-args="-screen 0 1280x1024x24" "$0" "$@"
fi

WORK="$(mktemp -d /tmp/svstartbench.XXXXXX)"
trap 'rm -rf "$WORK"' EXIT
find "$BUILD_DIR/program" -maxdepth 1 -type f \( -name '*.exe' -o -name '*.dll' -o -name '*.svx' \) \
  -exec cp -f {} "$WORK/" \;
WORK_WIN="Z:$(echo "$WORK/" | tr / '\\')"

measure() {
  wineserver -p
  wine cmd /c exit </dev/null >/dev/null 2>&1
  # One start of each first, so that both are timed with warm caches.
  wine "$BUILD_DIR/testbin/start_bench.exe" 1 "${WORK_WIN}Solvika.exe" "-tnnetdefaulthost:127.0.0.1:1" \
    "$WORK_WIN" TSolvikaMainForm notepad.exe Notepad >/dev/null 2>&1 || true
  sync
  wine "$BUILD_DIR/testbin/start_bench.exe" "$ROUNDS" "${WORK_WIN}Solvika.exe" "-tnnetdefaulthost:127.0.0.1:1" \
    "$WORK_WIN" TSolvikaMainForm notepad.exe Notepad 2>/dev/null | tr -d '\r'
  wineserver -k 2>/dev/null || true
}
result="$(measure)"
program_ms="$(echo "$result" | sed -n 's/^PROGRAM_MS=//p')"
reference_ms="$(echo "$result" | sed -n 's/^REFERENCE_MS=//p')"
rounds="$(echo "$result" | sed -n 's/^ROUNDS=//p')"
emulated=""
if [ -e /proc/sys/fs/binfmt_misc/solvika-i386 ]; then emulated=" (through QEMU emulation)"; fi
echo "| Measurement$emulated | median (ms) | Limit |"
echo "|---|---|---|"
echo "| Solvika.exe to main window visible | $program_ms | < $LIMIT_MS |"
echo "| notepad.exe to its window visible (reference) | $reference_ms | |"
echo "| ratio | $(python3 -c "print(f'{$program_ms/$reference_ms:.2f}')") | |"
echo "rounds measured (program/reference): $rounds"
python3 -c "import sys; sys.exit(0 if $program_ms < $LIMIT_MS else 1)"
