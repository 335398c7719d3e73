#!/usr/bin/env bash
# Times one reload of the plugin catalogue (reading a reply of 1000 plugins
# in 50 directories, every plugin's status from a program folder, the
# display order with the Russian collation) under Wine; the limit is 200 ms.
# Each of the given number of rounds starts the timing program afresh, after
# a sync, in a scratch program folder; prints the medians as a Markdown table.
#
#   tools/bench/catalogue_bench.sh [rounds]
set -euo pipefail
cd "$(dirname "$0")/../.."
ROUNDS="${1:-5}"
LIMIT_MS=200
source tools/env.sh
configure_and_build >/dev/null
ensure_wineprefix
wineserver -p 2>/dev/null || true

WORK="$(mktemp -d /tmp/svcatbench.XXXXXX)"
trap 'rm -rf "$WORK"; wineserver -k >/dev/null 2>&1 || true' EXIT
for f in catalogue_bench.exe SolvikaUtils.dll SolvikaDNM.dll SolvikaNet.dll SolvikaPU.dll; do
  cp "$BUILD_DIR/testbin/$f" "$WORK/"
done
medians=()
for _ in $(seq 1 "$ROUNDS"); do
  sync
  set -- $(cd "$WORK" && wine catalogue_bench.exe | tr -d '\r')
  medians+=("$2")
  rows="$8"
done
emulated="natively"
grep -qs "interpreter" /proc/sys/fs/binfmt_misc/solvika-i386 && emulated="under QEMU user-mode emulation"
python3 - "$LIMIT_MS" "$rows" "$emulated" "${medians[*]}" <<'PY'
import statistics, sys
limit, rows, emulated = float(sys.argv[1]), sys.argv[2], sys.argv[3]
runs = [float(x) for x in sys.argv[4].split()]
m = statistics.median(runs)
print("| Catalogue reload, 1000 plugins in 50 directories | median (ms) | Limit |")
print("|---|---|---|")
print("| reply, statuses, order (%s rows) | %.1f | < %.0f |" % (rows, m, limit))
print()
print("Rounds (each the median of 9 reloads): %s. 32-bit programs ran %s." % (" ".join("%.1f" % x for x in runs), emulated))
sys.exit(0 if m < limit else 1)
PY
