#!/usr/bin/env bash
# Sets up the machine, builds everything and runs the whole test suite under
# Wine on a virtual display. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
source tools/env.sh
configure_and_build
ensure_wineprefix

status=0
(cd "$BUILD_DIR" && xvfb-run -a --server-args="-screen 0 1280x1024x24" \
  "$ROOT/tools/ctest_in_display.sh" "$@") || status=$?

# Every fuzz target briefly on its seed corpus (native, see fuzz/), so that a
# parser regression fails the suite too.
FUZZ_BUILD="$BUILD_DIR/fuzz" bash "$ROOT/tools/fuzz.sh" "${FUZZ_SECONDS:-3}" || status=1
exit $status
