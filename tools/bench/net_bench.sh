#!/usr/bin/env bash
# Times SolvikaNet.dll against curl on the local server (tools/localserver),
# in one run:
#   throughput: one 256 MB file downloaded with SVNetRunDownload and with
#               "curl -o" from the same URL; best of three runs each. The
#               library must reach at least half of curl's throughput.
#   brake:      the same download with Pause = 10 ms for a few seconds; the
#               rate must stay within 15% of 1024 bytes per 10 ms.
# Prints a Markdown table; exits non-zero when a limit is missed.
#
#   BUILD_DIR=... tools/bench/net_bench.sh [size MB] [brake seconds]
set -euo pipefail
cd "$(dirname "$0")/../.."
SIZE_MB="${1:-256}"
BRAKE_S="${2:-6}"
source tools/env.sh
configure_and_build >/dev/null
ensure_wineprefix
wineserver -p

BENCH="$BUILD_DIR/testbin/net_bench.exe"
WORK="$(mktemp -d /tmp/svnetbench.XXXXXX)"
mkdir -p "$WORK/root/client" "$WORK/out"
head -c "${SIZE_MB}M" /dev/urandom >"$WORK/root/client/big.bin"
python3 tools/localserver/server.py --root "$WORK/root" --port-file "$WORK/port" >/dev/null 2>&1 &
SERVER=$!
trap 'kill $SERVER 2>/dev/null; wait $SERVER 2>/dev/null; rm -rf "$WORK"; wineserver -k >/dev/null 2>&1 || true' EXIT
for _ in $(seq 1 100); do [ -s "$WORK/port" ] && break; sleep 0.05; done
PORT="$(cat "$WORK/port")"
URL="http://127.0.0.1:$PORT/client/big.bin"
OUT_WIN="$(winepath -w "$WORK/out" 2>/dev/null)"
BYTES=$((SIZE_MB * 1024 * 1024))

best_curl=""
for _ in 1 2 3; do
  t=$(curl -s -o "$WORK/out/curl.bin" -w '%{time_total}' "$URL")
  best_curl=$(python3 -c "a='$best_curl'; print(min(float(a), $t) if a else $t)")
  rm -f "$WORK/out/curl.bin"
done

best_lib=""
for _ in 1 2 3; do
  line=$(wine "$BENCH" "127.0.0.1:$PORT" client big.bin "$OUT_WIN" 0 | tr -d '\r')
  set -- $line  # BYTES n MS t CODE c OK o
  [ "$2" = "$BYTES" ] && [ "$8" = 1 ] || { echo "library download failed: $line" >&2; exit 1; }
  cmp -s "$WORK/out/big.bin" "$WORK/root/client/big.bin" || { echo "downloaded file differs" >&2; exit 1; }
  s=$(python3 -c "print($4/1000)")
  best_lib=$(python3 -c "a='$best_lib'; print(min(float(a), $s) if a else $s)")
  rm -f "$WORK/out/big.bin"
done

line=$(wine "$BENCH" "127.0.0.1:$PORT" client big.bin "$OUT_WIN" 10 "$BRAKE_S" | tr -d '\r')
set -- $line
brake_bytes=$2
brake_ms=$4

python3 - "$BYTES" "$best_curl" "$best_lib" "$brake_bytes" "$brake_ms" <<'PY'
import sys
size, curl_s, lib_s, bb, bms = int(sys.argv[1]), float(sys.argv[2]), float(sys.argv[3]), int(sys.argv[4]), float(sys.argv[5])
mb = size / 1048576
curl_rate, lib_rate = mb / curl_s, mb / lib_s
ratio = lib_rate / curl_rate
brake = bb / bms * 10  # bytes per 10 ms
dev = brake / 1024 - 1
print("| Measurement | Result | Limit |")
print("|---|---|---|")
print("| curl -o, %d MB | %.0f MB/s (%.2f s) | |" % (mb, curl_rate, curl_s))
print("| SVNetRunDownload, %d MB | %.0f MB/s (%.2f s) | |" % (mb, lib_rate, lib_s))
print("| SVNetRunDownload / curl | %.2f | >= 0.50 |" % ratio)
print("| Pause 10 ms: rate | %.0f B per 10 ms (%+.1f%%) | 1024 +/- 15%% |" % (brake, dev * 100))
ok = ratio >= 0.5 and abs(dev) <= 0.15
sys.exit(0 if ok else 1)
PY
