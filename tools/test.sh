#!/usr/bin/env bash
# Sets up the machine, builds everything and runs the whole test suite under
# Wine on a virtual display. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
source tools/env.sh
configure_and_build
ensure_wineprefix

cd "$BUILD_DIR"
xvfb-run -a --server-args="-screen 0 1280x1024x24" \
  "$ROOT/tools/ctest_in_display.sh" "$@"
