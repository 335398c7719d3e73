#!/usr/bin/env bash
# Times SolvikaUtils in one run:
#   md5:    MD5File on a file of random bytes (256 MB unless given) against the
#           native md5sum on the same file; both best of three, with the file
#           in the page cache. The digests must agree, and MD5File (under
#           Wine) must reach at least 0.8 of md5sum's throughput.
#   search: FastPos and FastPosNoCase against std::string_view::find, counting
#           every occurrence of patterns of 4 to 64 bytes in 100 MB of word
#           text; FastPos must be faster for patterns of 8 bytes and more.
# Prints Markdown tables; exits non-zero when a target is missed.
#
#   BUILD_DIR=... tools/bench/utils_bench.sh [file MB] [text MB]
set -euo pipefail
cd "$(dirname "$0")/../.."
FILE_MB="${1:-256}"
TEXT_MB="${2:-100}"
source tools/env.sh
configure_and_build >/dev/null
cmake --build "$BUILD_DIR" --target utils_bench >/dev/null
ensure_wineprefix
wineserver -p  # keep Wine's server warm between the runs

BENCH="$BUILD_DIR/testbin/utils_bench.exe"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"; wineserver -k >/dev/null 2>&1 || true' EXIT
FILE="$WORK/data.bin"
head -c "$((FILE_MB * 1024 * 1024))" /dev/urandom >"$FILE"

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
cat "$FILE" >/dev/null
best_cli=""
for run in 1 2 3; do
  t0=$(now_ms); want="$(md5sum "$FILE" | cut -d' ' -f1)"; t1=$(now_ms)
  t=$((t1 - t0)); if [ -z "$best_cli" ] || [ "$t" -lt "$best_cli" ]; then best_cli=$t; fi
done
out="$(wine "$BENCH" md5 "$(winepath -w "$FILE")")"
lib_ms="$(sed -E 's/.*md5_ms=([0-9.]+).*/\1/' <<<"$out")"
got="$(sed -E 's/.*digest=([0-9a-f]*).*/\1/' <<<"$out")"
[ "$got" = "$want" ] || { echo "digests differ: $got vs $want" >&2; exit 1; }

read -r lib_mbs cli_mbs ratio < <(LC_ALL=C awk -v mb="$FILE_MB" -v l="$lib_ms" -v c="$best_cli" \
  'BEGIN { printf "%.0f %.0f %.2f\n", mb * 1000 / l, mb * 1000 / c, c / l }')
echo "| MD5 of $FILE_MB MB | time (ms) | MB/s |"
echo "|---|---|---|"
echo "| MD5File (under Wine) | $lib_ms | $lib_mbs |"
echo "| md5sum (native) | $best_cli | $cli_mbs |"
echo "| ratio MD5File / md5sum | | $ratio |"
echo
search="$(wine "$BENCH" search "$TEXT_MB")"
echo "Search in $TEXT_MB MB of text, every occurrence counted:"
echo
echo "$search"

status=0
LC_ALL=C awk -v r="$ratio" 'BEGIN { exit !(r >= 0.8) }' || { echo "MD5File below 0.8 of md5sum" >&2; status=1; }
while IFS='|' read -r _ bytes _ _ _ speedup _; do
  bytes="${bytes// /}"; speedup="${speedup// /}"
  [[ "$bytes" =~ ^[0-9]+$ ]] || continue
  if [ "$bytes" -ge 8 ]; then
    LC_ALL=C awk -v s="$speedup" 'BEGIN { exit !(s > 1) }' || { echo "FastPos not faster at $bytes bytes" >&2; status=1; }
  fi
done <<<"$search"
exit $status
