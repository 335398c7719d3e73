#!/usr/bin/env bash
# Times SolvikaData.dll on SQLite against the sqlite3 command-line shell doing
# the same work in the same run:
#   insert: 100000 rows of three text columns in one transaction, one
#           statement at a time (SVDataExec per statement; the shell reads the
#           same statements from a script);
#   read:   every row back, field by field (SVDataNextRow, SVDataNextField,
#           SVDataGetValue; the shell prints the same query's rows).
# The two sides take turns, each run after a `sync`, three times; the medians
# count. The library must reach at least half the shell's speed. Exits
# non-zero when it does not.
#
#   BUILD_DIR=... tools/bench/data_bench.sh [rows]
set -euo pipefail
cd "$(dirname "$0")/../.."
ROWS="${1:-100000}"
source tools/env.sh
if ! command -v sqlite3 >/dev/null; then
  SUDO=""; [ "$(id -u)" != 0 ] && SUDO="sudo"
  $SUDO apt-get update -q >/dev/null
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends sqlite3 >/dev/null
fi
configure_and_build >/dev/null
ensure_wineprefix
wineserver -p  # keep Wine's server warm between the runs

BENCH="$BUILD_DIR/testbin/data_bench.exe"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"; wineserver -k >/dev/null 2>&1 || true' EXIT
wine "$BENCH" sql "$(winepath -w "$WORK/insert.sql")" "$ROWS"

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
best() { LC_ALL=C sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }  # the median

lib_insert=(); lib_read=(); cli_insert=(); cli_read=()
for run in 1 2 3; do
  sync
  out="$(wine "$BENCH" run "$(winepath -w "$WORK/lib$run.db")" "$ROWS")"
  lib_insert+=("$(sed -E 's/.*insert_ms=([0-9.]+).*/\1/' <<<"$out")")
  lib_read+=("$(sed -E 's/.*read_ms=([0-9.]+).*/\1/' <<<"$out")")

  rm -f "$WORK/cli$run.db"
  sync
  t0=$(now_ms); sqlite3 "$WORK/cli$run.db" <"$WORK/insert.sql"; t1=$(now_ms)
  sqlite3 "$WORK/cli$run.db" "SELECT a, b, c FROM t" >"$WORK/out.txt"; t2=$(now_ms)
  [ "$(wc -l <"$WORK/out.txt")" -eq "$ROWS" ] || { echo "shell read the wrong row count" >&2; exit 1; }
  cli_insert+=($((t1 - t0))); cli_read+=($((t2 - t1)))
done

li=$(printf '%s\n' "${lib_insert[@]}" | best); lr=$(printf '%s\n' "${lib_read[@]}" | best)
ci=$(printf '%s\n' "${cli_insert[@]}" | best); cr=$(printf '%s\n' "${cli_read[@]}" | best)
ratio() { LC_ALL=C awk -v lib="$1" -v cli="$2" 'BEGIN { printf "%.2f", (lib > 0 ? cli / lib : 99) }'; }
ri=$(ratio "$li" "$ci"); rr=$(ratio "$lr" "$cr")

echo "| work ($ROWS rows) | SolvikaData (ms) | sqlite3 shell (ms) | speed vs shell |"
echo "|---|---|---|---|"
echo "| insert, one transaction | $li | $ci | $ri |"
echo "| read all fields | $lr | $cr | $rr |"
LC_ALL=C awk -v a="$ri" -v b="$rr" 'BEGIN { exit !(a >= 0.5 && b >= 0.5) }' || { echo "below half the shell's speed" >&2; exit 1; }
