#!/usr/bin/env bash
# Times the download manager SolvikaDNM.dll against curl, both fetching from
# nginx (Debian's, installed when missing) on 127.0.0.1, in one run. Every
# timed run follows a `sync`; curl and the library take turns, and the
# medians of the pairs count (3 pairs unless given). Targets in the same file
# system for both.
#   one file:   a job of one 1 GB file; its transfer (from status 4 to status
#               6, seen by polling the jobs list) against "curl -o" of the
#               same URL. Must reach 0.7 of curl. The network engine alone
#               (net_bench.exe) fetches the file in the same turns, to tell
#               the manager's share from the engine's.
#   200 files:  one job of 200 files of 256 KB (one file list), its transfer,
#               against one curl invocation fetching the same 200 URLs. Must
#               reach 0.35 of curl.
#   small:      a job of one 1 KB file from its creation to status 9 against
#               curl of the same URL. Must stay under 0.3 s.
#   tick:       processor time of the process per 250 ms tick with 1000 jobs
#               waiting in the queue (queue off) while their host refuses
#               connections (nginx stopped), beside one job; both less
#               the time of the same process idle without the manager (Wine's
#               own). Must stay under 2 ms. For scale, the same for a thread
#               that does nothing but wake every 10 ms.
# Every run of the manager gets a fresh program folder under /tmp (its jobs
# live in the program folder); everything is removed at the end.
# Prints a Markdown table; exits non-zero when a limit is missed.
#
#   BUILD_DIR=... tools/bench/dnm_bench.sh [big MB] [files] [jobs] [pairs]
set -euo pipefail
cd "$(dirname "$0")/../.."
BIG_MB="${1:-1024}"
NFILES="${2:-200}"
NJOBS="${3:-1000}"
PAIRS="${4:-3}"
source tools/env.sh
source tools/bench/bench_lib.sh
# BENCH_BIN: a folder holding another build's dnm_bench.exe, net_bench.exe
# and libraries, to time that build instead (e.g. an older one).
[ -z "${BENCH_BIN:-}" ] && configure_and_build >/dev/null
ensure_wineprefix
wineserver -p

BIN="${BENCH_BIN:-$BUILD_DIR/testbin}"
WORK="$(mktemp -d /tmp/svdnmbench.XXXXXX)"
mkdir -p "$WORK/root/client/many" "$WORK/curl" "$WORK/engine"
head -c "${BIG_MB}M" /dev/urandom >"$WORK/root/client/big.bin"
for i in $(seq 0 $((NFILES - 1))); do
  head -c 262144 /dev/urandom >"$WORK/root/client/many/$(printf 'f%03d.bin' "$i")"
done
head -c 1024 /dev/urandom >"$WORK/root/client/small.bin"
echo "one small file" >"$WORK/root/client/tick.bin"
trap 'stop_nginx; rm -rf "$WORK"; wineserver -k >/dev/null 2>&1 || true' EXIT
start_nginx "$WORK/root" "$WORK/nginx"
PORT="$NGINX_PORT"
BASE="http://127.0.0.1:$PORT/client"
cat "$WORK/root/client/big.bin" "$WORK/root/client/many/"* >/dev/null  # sources in the page cache

# A fresh program folder holding the timing program and the libraries.
program() {
  local d="$WORK/prog"
  rm -rf "$d"
  mkdir -p "$d/target"
  for f in dnm_bench.exe SolvikaDNM.dll SolvikaNet.dll SolvikaUtils.dll SolvikaPU.dll UnzDll.dll ZipDll.dll; do
    cp "$BIN/$f" "$d/"
  done
  echo "$d"
}

now() { date +%s.%N; }

# A job run: prints "T4 T6 T9" in ms after checking the installed files.
job_run() {
  local d="$1"; shift
  local line
  line=$(wine "$d/dnm_bench.exe" "$@" | tr -d '\r') || { echo "job failed: $line" >&2; exit 1; }
  set -- $line  # TOTAL n T4 a T6 b T9 c STATUS s
  [ "${10}" = 9 ] || { echo "job did not install: $line" >&2; exit 1; }
  echo "$4 $6 $8"
}

# (a) one big file: curl, the engine alone and the job take turns.
curl_big=(); engine_big=(); job_big=(); whole_big=()
for _ in $(seq 1 "$PAIRS"); do
  sync
  t=$(curl -s -o "$WORK/curl/big.bin" -w '%{time_total}' "$BASE/big.bin")
  cmp -s "$WORK/curl/big.bin" "$WORK/root/client/big.bin" || { echo "curl file differs" >&2; exit 1; }
  curl_big+=("$t")
  rm -f "$WORK/curl/big.bin"

  sync
  line=$(wine "$BIN/net_bench.exe" "127.0.0.1:$PORT" client big.bin "$(winepath -w "$WORK/engine")" 0 | tr -d '\r')
  set -- $line  # BYTES n MS t CODE c OK o
  [ "$8" = 1 ] && cmp -s "$WORK/engine/big.bin" "$WORK/root/client/big.bin" || { echo "engine run failed: $line" >&2; exit 1; }
  engine_big+=("$(python3 -c "print($4 / 1000)")")
  rm -f "$WORK/engine/big.bin"

  d=$(program)
  sync
  res=$(job_run "$d" url "$BASE/big.bin" "$(winepath -w "$d/target")")
  read -r t4 t6 t9 <<<"$res"
  cmp -s "$d/target/big.bin" "$WORK/root/client/big.bin" || { echo "installed file differs" >&2; exit 1; }
  job_big+=("$(python3 -c "print(($t6 - $t4) / 1000)")")
  whole_big+=("$(python3 -c "print($t9 / 1000)")")
  rm -rf "$d"
done

# (b) 200 files in one job against one curl invocation
cfg="$WORK/curl.cfg"
: >"$cfg"
for i in $(seq 0 $((NFILES - 1))); do
  n=$(printf 'f%03d.bin' "$i")
  printf 'url = "%s"\noutput = "%s"\n' "$BASE/many/$n" "$WORK/curl/$n" >>"$cfg"
done
curl_many=(); job_many=(); whole_many=()
for _ in $(seq 1 "$PAIRS"); do
  sync
  t0=$(now)
  curl -s -K "$cfg"
  curl_many+=("$(python3 -c "print($(now) - $t0)")")
  diff -rq "$WORK/curl" "$WORK/root/client/many" >/dev/null || { echo "curl files differ" >&2; exit 1; }
  rm -f "$WORK/curl/"*

  d=$(program)
  sync
  res=$(job_run "$d" files "127.0.0.1:$PORT" /client/many/ "$NFILES" "$(winepath -w "$d/target")")
  read -r t4 t6 t9 <<<"$res"
  diff -rq "$d/target" "$WORK/root/client/many" >/dev/null || { echo "installed files differ" >&2; exit 1; }
  job_many+=("$(python3 -c "print(($t6 - $t4) / 1000)")")
  whole_many+=("$(python3 -c "print($t9 / 1000)")")
  rm -rf "$d"
done

# (c) one small file: the whole job against curl
curl_small=(); job_small=()
for _ in $(seq 1 "$PAIRS"); do
  sync
  curl_small+=("$(curl -s -o "$WORK/curl/small.bin" -w '%{time_total}' "$BASE/small.bin")")
  cmp -s "$WORK/curl/small.bin" "$WORK/root/client/small.bin" || { echo "curl file differs" >&2; exit 1; }
  rm -f "$WORK/curl/small.bin"

  d=$(program)
  sync
  res=$(job_run "$d" url "$BASE/small.bin" "$(winepath -w "$d/target")")
  read -r t4 t6 t9 <<<"$res"
  cmp -s "$d/target/small.bin" "$WORK/root/client/small.bin" || { echo "installed file differs" >&2; exit 1; }
  job_small+=("$(python3 -c "print($t9 / 1000)")")
  rm -rf "$d"
done

# (d) ticks with many jobs waiting whose host refuses connections: nginx is
# stopped, so the first job's query fails on its port and the jobs copied
# from it wait in the queue.
stop_nginx
d=$(program)
ticks=$(wine "$d/dnm_bench.exe" ticks "$BASE/tick.bin" "$NJOBS" 20 | tr -d '\r') || { echo "tick run failed: $ticks" >&2; exit 1; }
rm -rf "$d"

python3 - "$BIG_MB" "$NFILES" "$NJOBS" "$ticks" "${curl_big[*]}" "${engine_big[*]}" "${job_big[*]}" "${whole_big[*]}" \
  "${curl_many[*]}" "${job_many[*]}" "${whole_many[*]}" "${curl_small[*]}" "${job_small[*]}" <<'PY'
import statistics, sys
big_mb, nfiles, njobs = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3])
ticks = sys.argv[4].split("\n")
v = [list(map(float, a.split())) for a in sys.argv[5:]]
curl_big, engine_big, job_big, whole_big, curl_many, job_many, whole_many, curl_small, job_small = v
med = statistics.median
def pairs(a, b):
    return " ".join("%.2f" % (x / y) for x, y in zip(a, b))
runs = [l.split() for l in ticks if " JOBS " in l]
stop = [l.split()[1] for l in ticks if l.startswith("STOPMS")]
if len(runs) != 4 or not stop or int(runs[3][2]) != njobs:
    print("tick run incomplete:\n" + "\n".join(ticks))
    sys.exit(1)
idle, wake, one, many = (float(r[8]) for r in runs)
one_tick, many_tick = one - idle, many - idle
many_mb = nfiles * 256 / 1024
r_big = med(curl_big) / med(job_big)
r_many = med(curl_many) / med(job_many)
small = med(job_small)
print("| Measurement (median of %d pairs) | Result | Limit |" % len(curl_big))
print("|---|---|---|")
print("| curl -o, one %d MB file | %.0f MB/s (%.2f s) | |" % (big_mb, big_mb / med(curl_big), med(curl_big)))
print("| job of that file: transfer (status 4 to 6) | %.0f MB/s (%.2f s); whole job %.2f s | |"
      % (big_mb / med(job_big), med(job_big), med(whole_big)))
print("| job / curl | %.2f (pairs %s) | >= 0.70 |" % (r_big, pairs(curl_big, job_big)))
print("| network engine alone (`SVNetRunDownload`), same file | %.0f MB/s (%.2f s); engine / curl %.2f | |"
      % (big_mb / med(engine_big), med(engine_big), med(curl_big) / med(engine_big)))
print("| curl, %d files of 256 KB, one invocation | %.0f MB/s (%.2f s) | |" % (nfiles, many_mb / med(curl_many), med(curl_many)))
print("| one job of those files: transfer (status 4 to 6) | %.0f MB/s (%.2f s); whole job %.2f s | |"
      % (many_mb / med(job_many), med(job_many), med(whole_many)))
print("| job / curl | %.2f (pairs %s) | >= 0.35 |" % (r_many, pairs(curl_many, job_many)))
print("| curl, one 1 KB file | %.3f s | |" % med(curl_small))
print("| job of that file, creation to status 9 | %.3f s (runs %s) | < 0.3 s |"
      % (small, " ".join("%.3f" % x for x in job_small)))
print("| processor time per 250 ms, process without manager | %.3f ms (%s ticks) | |" % (idle, runs[0][6]))
print("| for scale: one thread waking every 10 ms, per 250 ms | %.3f ms (%.3f - %.3f) | |" % (wake - idle, wake, idle))
print("| processor time per tick, 1 job waiting | %.3f ms (%.3f - %.3f) | |" % (one_tick, one, idle))
print("| processor time per tick, %d jobs, host refusing (%s still waiting at the end) | %.3f ms (%.3f - %.3f) | < 2 ms |"
      % (njobs, runs[3][4], many_tick, many, idle))
print("| stop with %d jobs (unchanged jobs are not rewritten) | %s ms | |" % (njobs, stop[0]))
sys.exit(0 if r_big >= 0.7 and r_many >= 0.35 and small < 0.3 and many_tick < 2 else 1)
PY
