#!/usr/bin/env bash
# Times SolvikaNet.dll against curl, both fetching from nginx (Debian's,
# installed when missing) on 127.0.0.1, in one run:
#   throughput: one 256 MB file downloaded with SVNetRunDownload and with
#               "curl -o" from the same URL into the same file system; the
#               two take turns, each run after a `sync`, and the medians of
#               the pairs count (3 pairs unless given). The library must reach
#               0.8 of curl's throughput.
#   brake:      the same download with Pause = 10 ms for a few seconds; the
#               rate must stay within 15% of 1024 bytes per 10 ms.
# Prints a Markdown table; exits non-zero when a limit is missed.
#
#   BUILD_DIR=... tools/bench/net_bench.sh [size MB] [brake seconds] [pairs]
set -euo pipefail
cd "$(dirname "$0")/../.."
SIZE_MB="${1:-256}"
BRAKE_S="${2:-6}"
PAIRS="${3:-3}"
source tools/env.sh
source tools/bench/bench_lib.sh
configure_and_build >/dev/null
ensure_wineprefix
wineserver -p

BENCH="$BUILD_DIR/testbin/net_bench.exe"
WORK="$(mktemp -d /tmp/svnetbench.XXXXXX)"
mkdir -p "$WORK/root/client" "$WORK/out"
head -c "${SIZE_MB}M" /dev/urandom >"$WORK/root/client/big.bin"
trap 'stop_nginx; rm -rf "$WORK"; wineserver -k >/dev/null 2>&1 || true' EXIT
start_nginx "$WORK/root" "$WORK/nginx"
URL="http://127.0.0.1:$NGINX_PORT/client/big.bin"
OUT_WIN="$(winepath -w "$WORK/out" 2>/dev/null)"
BYTES=$((SIZE_MB * 1024 * 1024))
cat "$WORK/root/client/big.bin" >/dev/null  # the source in the page cache for both

curl_s=(); lib_s=()
for _ in $(seq 1 "$PAIRS"); do
  sync
  t=$(curl -s -o "$WORK/out/curl.bin" -w '%{time_total}' "$URL")
  cmp -s "$WORK/out/curl.bin" "$WORK/root/client/big.bin" || { echo "curl file differs" >&2; exit 1; }
  curl_s+=("$t")
  rm -f "$WORK/out/curl.bin"

  sync
  line=$(wine "$BENCH" "127.0.0.1:$NGINX_PORT" client big.bin "$OUT_WIN" 0 | tr -d '\r')
  set -- $line  # BYTES n MS t CODE c OK o
  [ "$2" = "$BYTES" ] && [ "$8" = 1 ] || { echo "library download failed: $line" >&2; exit 1; }
  cmp -s "$WORK/out/big.bin" "$WORK/root/client/big.bin" || { echo "downloaded file differs" >&2; exit 1; }
  lib_s+=("$(python3 -c "print($4/1000)")")
  rm -f "$WORK/out/big.bin"
done

line=$(wine "$BENCH" "127.0.0.1:$NGINX_PORT" client big.bin "$OUT_WIN" 10 "$BRAKE_S" | tr -d '\r')
set -- $line
brake_bytes=$2
brake_ms=$4

python3 - "$BYTES" "$brake_bytes" "$brake_ms" "${curl_s[*]}" "${lib_s[*]}" <<'PY'
import statistics, sys
size, bb, bms = int(sys.argv[1]), int(sys.argv[2]), float(sys.argv[3])
curl = list(map(float, sys.argv[4].split()))
lib = list(map(float, sys.argv[5].split()))
mb = size / 1048576
curl_s, lib_s = statistics.median(curl), statistics.median(lib)
ratio = curl_s / lib_s
pairs = [c / l for c, l in zip(curl, lib)]
brake = bb / bms * 10  # bytes per 10 ms
dev = brake / 1024 - 1
print("| Measurement (median of %d pairs) | Result | Limit |" % len(curl))
print("|---|---|---|")
print("| curl -o, %d MB from nginx | %.0f MB/s (%.2f s) | |" % (mb, mb / curl_s, curl_s))
print("| SVNetRunDownload, same file | %.0f MB/s (%.2f s) | |" % (mb / lib_s, lib_s))
print("| SVNetRunDownload / curl | %.2f (pairs %s) | >= 0.80 |" % (ratio, " ".join("%.2f" % p for p in pairs)))
print("| Pause 10 ms: rate | %.0f B per 10 ms (%+.1f%%) | 1024 +/- 15%% |" % (brake, dev * 100))
sys.exit(0 if ratio >= 0.8 and abs(dev) <= 0.15 else 1)
PY
