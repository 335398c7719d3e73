#!/usr/bin/env bash
# Times the dictionary plugin's demo dictionary:
#   build:     the Mueller dictionary turned into the builder's source and
#              the three files built from it (budget 30 s);
#   keystroke: each keystroke's search and the first article shown, under
#              Wine, on the demo dictionary (budget 10 ms for the worst).
# Prints a Markdown table; exits non-zero when a budget is missed.
#
#   BUILD_DIR=... tools/bench/lexikon_bench.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
BUILD_LIMIT_S=30
KEYSTROKE_LIMIT_MS=10
DICT="${LEXIKON_DEMO_DICT:-/usr/share/dictd/mueller7.dict.dz}"
source tools/env.sh
configure_and_build >/dev/null
cmake --build "$BUILD_DIR" --target lexbuild_host lexikon_search_bench >/dev/null
ensure_wineprefix
wineserver -p  # keep Wine's server warm

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"; wineserver -k >/dev/null 2>&1 || true' EXIT
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

start=$(now_ms)
python3 plugins/dictionary/demo/mueller_to_source.py "$DICT" "$WORK/source.txt" >/dev/null
"$BUILD_DIR/host/lexbuild/lexbuild" "$WORK/source.txt" "$WORK" >"$WORK/build.log"
build_ms=$(( $(now_ms) - start ))

status=0
keystrokes=$(wine "$BUILD_DIR/testbin/lexikon_search_bench.exe" "Z:$WORK" "$KEYSTROKE_LIMIT_MS" | tr -d '\r') || status=1
build_ok=yes
if [ "$build_ms" -gt $((BUILD_LIMIT_S * 1000)) ]; then build_ok=no; status=1; fi

echo "| measure | result | budget |"
echo "|---|---|---|"
echo "| demo dictionary built | ${build_ms} ms ($(sed 's/^lexbuild: //' "$WORK/build.log")) | ${BUILD_LIMIT_S} s: $build_ok |"
echo "| keystroke | ${keystrokes} | ${KEYSTROKE_LIMIT_MS} ms: $([ $status = 0 ] && echo yes || echo see above) |"
exit $status
