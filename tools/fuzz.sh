#!/usr/bin/env bash
# Builds the native fuzz targets (fuzz/, clang with libFuzzer and
# Address/UndefinedBehaviorSanitizer) into build/fuzz and runs every target,
# one after another on one core, for the given number of seconds (default 60).
#
#   tools/fuzz.sh [seconds-per-target] [target...]
#   FUZZ_RUNS=10000000 tools/fuzz.sh 0     # a number of executions instead
#
# Each target starts from its seed corpus in fuzz/corpus/<target>/, which is
# only read: new inputs go to a temporary folder. A crash, a leak or a broken
# property stops the script with a non-zero exit; the input is saved as
# build/fuzz/artifacts/<target>-crash-* (add it to the seed corpus once the
# fault is fixed). A summary line per target gives its executions.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$PWD"
FUZZ_BUILD="${FUZZ_BUILD:-$ROOT/build/fuzz}"
seconds="${1:-60}"
shift || true

cmake -S "$ROOT/fuzz" -B "$FUZZ_BUILD" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Quiet on success; a failed build shows what failed.
if ! build_log=$(cmake --build "$FUZZ_BUILD" -j 1 2>&1); then
  echo "$build_log" >&2
  exit 1
fi

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for dir in "$ROOT"/fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi

mkdir -p "$FUZZ_BUILD/artifacts" "$FUZZ_BUILD/logs"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

limit=()
if [ -n "${FUZZ_RUNS:-}" ]; then limit+=(-runs="$FUZZ_RUNS"); fi
if [ "$seconds" != 0 ]; then limit+=(-max_total_time="$seconds"); fi

# Longest input per target: the line-based texts show every rule within a
# kilobyte and run several times faster with short inputs; archives and the
# cfg record (1177 bytes and a host list) keep libFuzzer's default of 4096.
declare -A max_len=([base64]=1024 [fields]=1024 [hex]=1024 [http]=2048 [ini]=1024 [job]=2048 [like]=512 [reply]=1024
  [skin]=1024 [update_entry]=1024 [update_list]=1024 [url]=1024 [svb]=1024)

status=0
for t in "${targets[@]}"; do
  exe="$FUZZ_BUILD/${t}_fuzz"
  log="$FUZZ_BUILD/logs/$t.log"
  mkdir -p "$work/$t"
  options=("${limit[@]}")
  if [ -n "${max_len[$t]:-}" ]; then options+=(-max_len="${max_len[$t]}"); fi
  if "$exe" "${options[@]}" -print_final_stats=1 -artifact_prefix="$FUZZ_BUILD/artifacts/$t-" \
      "$work/$t" "$ROOT/fuzz/corpus/$t" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    echo "fuzz: $t: ${runs:-?} executions (${rate:-?}/s), no finding"
  else
    echo "fuzz: $t: FAILED, see $log" >&2
    grep -E "ERROR|SUMMARY|fuzz property|Test unit written" "$log" | head -20 >&2 || true
    status=1
  fi
done
exit $status
