#!/usr/bin/env bash
# Times the download manager SolvikaDNM.dll against curl on the local server
# (tools/localserver), in one run:
#   one file:   a job of one 1 GB file; its transfer (from status 4 to status
#               6, seen by polling the jobs list) against "curl -o" of the
#               same URL, best of three each. Must reach 0.5 of curl.
#   200 files:  one job of 200 files of 256 KB (one file list) against one
#               curl invocation fetching the same 200 URLs, best of three
#               each. Must reach 0.25 of curl (the job makes a pass of HEAD
#               requests before its pass of GETs).
#   Both report the job's whole time, from its creation to status 9. The
#               network engine alone (net_bench.exe) fetches the big file too,
#               to tell the manager's share from the engine's.
#   tick:       processor time of the process per 250 ms tick with 1000 jobs
#               waiting in the queue (status 3, queue off), beside one job;
#               both less the time of the same process idle without the
#               manager (Wine's own). Must stay under 2 ms. For scale, the
#               same for a thread that does nothing but wake every 10 ms.
# Every run of the manager gets a fresh program folder under /tmp (its jobs
# live in the program folder); everything is removed at the end.
# Prints a Markdown table; exits non-zero when a limit is missed.
#
#   BUILD_DIR=... tools/bench/dnm_bench.sh [big MB] [files] [jobs]
set -euo pipefail
cd "$(dirname "$0")/../.."
BIG_MB="${1:-1024}"
NFILES="${2:-200}"
NJOBS="${3:-1000}"
source tools/env.sh
configure_and_build >/dev/null
ensure_wineprefix
wineserver -p

BIN="$BUILD_DIR/testbin"
WORK="$(mktemp -d /tmp/svdnmbench.XXXXXX)"
mkdir -p "$WORK/root/client/many" "$WORK/curl"
head -c "${BIG_MB}M" /dev/urandom >"$WORK/root/client/big.bin"
for i in $(seq 0 $((NFILES - 1))); do
  head -c 262144 /dev/urandom >"$WORK/root/client/many/$(printf 'f%03d.bin' "$i")"
done
echo "one small file" >"$WORK/root/client/tick.bin"
python3 tools/localserver/server.py --root "$WORK/root" --port-file "$WORK/port" >/dev/null 2>&1 &
SERVER=$!
trap 'kill $SERVER 2>/dev/null; wait $SERVER 2>/dev/null; rm -rf "$WORK"; wineserver -k >/dev/null 2>&1 || true' EXIT
for _ in $(seq 1 100); do [ -s "$WORK/port" ] && break; sleep 0.05; done
PORT="$(cat "$WORK/port")"
BASE="http://127.0.0.1:$PORT/client"

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
# min of a best-so-far (possibly empty) and a new value
best() { python3 -c "a='$1'; print(min(float(a), $2) if a else $2)"; }

# A job run: prints "T4 T6 T9" in ms after checking the installed files.
job_run() {
  local d="$1"; shift
  local line
  line=$(wine "$d/dnm_bench.exe" "$@" | tr -d '\r') || { echo "job failed: $line" >&2; exit 1; }
  set -- $line  # TOTAL n T4 a T6 b T9 c STATUS s
  [ "${10}" = 9 ] || { echo "job did not install: $line" >&2; exit 1; }
  echo "$4 $6 $8"
}

# (a) one big file: curl, the network engine alone (net_bench.exe, to tell
# the manager's share of the time from the engine's) and the job take turns,
# each after the disk has written back what the one before left, so that no
# contender meets more writeback than another.
mkdir -p "$WORK/engine"
best_curl=""
best_engine=""
best_big=""
whole_big=""
for _ in 1 2 3; do
  sync
  t=$(curl -s -o "$WORK/curl/big.bin" -w '%{time_total}' "$BASE/big.bin")
  cmp -s "$WORK/curl/big.bin" "$WORK/root/client/big.bin" || { echo "curl file differs" >&2; exit 1; }
  best_curl=$(best "$best_curl" "$t")
  rm -f "$WORK/curl/big.bin"

  sync
  line=$(wine "$BIN/net_bench.exe" "127.0.0.1:$PORT" client big.bin "$(winepath -w "$WORK/engine")" 0 | tr -d '\r')
  set -- $line  # BYTES n MS t CODE c OK o
  [ "$8" = 1 ] && cmp -s "$WORK/engine/big.bin" "$WORK/root/client/big.bin" || { echo "engine run failed: $line" >&2; exit 1; }
  best_engine=$(best "$best_engine" "$(python3 -c "print($4 / 1000)")")
  rm -f "$WORK/engine/big.bin"

  d=$(program)
  sync
  res=$(job_run "$d" url "$BASE/big.bin" "$(winepath -w "$d/target")")
  read -r t4 t6 t9 <<<"$res"
  cmp -s "$d/target/big.bin" "$WORK/root/client/big.bin" || { echo "installed file differs" >&2; exit 1; }
  s=$(python3 -c "print(($t6 - $t4) / 1000)")
  if [ -z "$best_big" ] || python3 -c "import sys; sys.exit(0 if $s < $best_big else 1)"; then
    best_big=$s
    whole_big=$(python3 -c "print($t9 / 1000)")
  fi
  rm -rf "$d"
done

# (b) 200 files in one job
cfg="$WORK/curl.cfg"
: >"$cfg"
for i in $(seq 0 $((NFILES - 1))); do
  n=$(printf 'f%03d.bin' "$i")
  printf 'url = "%s"\noutput = "%s"\n' "$BASE/many/$n" "$WORK/curl/$n" >>"$cfg"
done
best_curl_many=""
for _ in 1 2 3; do
  t0=$(now)
  curl -s -K "$cfg"
  t=$(python3 -c "print($(now) - $t0)")
  diff -rq "$WORK/curl" "$WORK/root/client/many" >/dev/null || { echo "curl files differ" >&2; exit 1; }
  best_curl_many=$(best "$best_curl_many" "$t")
  rm -f "$WORK/curl/"*
done
best_many=""
whole_many=""
for _ in 1 2 3; do
  d=$(program)
  res=$(job_run "$d" files "127.0.0.1:$PORT" /client/many/ "$NFILES" "$(winepath -w "$d/target")")
  read -r t4 t6 t9 <<<"$res"
  diff -rq "$d/target" "$WORK/root/client/many" >/dev/null || { echo "installed files differ" >&2; exit 1; }
  s=$(python3 -c "print(($t6 - $t4) / 1000)")
  if [ -z "$best_many" ] || python3 -c "import sys; sys.exit(0 if $s < $best_many else 1)"; then
    best_many=$s
    whole_many=$(python3 -c "print($t9 / 1000)")
  fi
done

# (c) ticks with many jobs waiting
d=$(program)
ticks=$(wine "$d/dnm_bench.exe" ticks "$BASE/tick.bin" "$NJOBS" 20 | tr -d '\r') || { echo "tick run failed: $ticks" >&2; exit 1; }
rm -rf "$d"

python3 - "$BIG_MB" "$best_curl" "$best_big" "$whole_big" "$NFILES" "$best_curl_many" "$best_many" "$whole_many" \
  "$NJOBS" "$ticks" "$best_engine" <<'PY'
import sys
big_mb, curl_s, big_s, big_whole = int(sys.argv[1]), float(sys.argv[2]), float(sys.argv[3]), float(sys.argv[4])
nfiles, curl_many, many_s, many_whole = int(sys.argv[5]), float(sys.argv[6]), float(sys.argv[7]), float(sys.argv[8])
njobs, ticks, engine_s = int(sys.argv[9]), sys.argv[10].split("\n"), float(sys.argv[11])
runs = [l.split() for l in ticks if " JOBS " in l]
stop = [l.split()[1] for l in ticks if l.startswith("STOPMS")]
if len(runs) != 4 or not stop or int(runs[3][2]) != njobs or int(runs[3][4]) != njobs:
    print("tick run incomplete:\n" + "\n".join(ticks))
    sys.exit(1)
# Processor time per 250 ms: the process alone, with the manager and one job,
# with the manager and all the jobs; a tick costs the difference to the first.
idle, wake, one, many = (float(r[8]) for r in runs)
one_tick, many_tick = one - idle, many - idle
many_mb = nfiles * 256 / 1024
r_big = curl_s / big_s
r_many = curl_many / many_s
print("| Measurement | Result | Limit |")
print("|---|---|---|")
print("| curl -o, one %d MB file | %.0f MB/s (%.2f s) | |" % (big_mb, big_mb / curl_s, curl_s))
print("| job of that file: transfer (status 4 to 6) | %.0f MB/s (%.2f s); whole job %.2f s | |"
      % (big_mb / big_s, big_s, big_whole))
print("| job / curl | %.2f | >= 0.50 |" % r_big)
print("| network engine alone (`SVNetRunDownload`), same file | %.0f MB/s (%.2f s); job / engine %.2f | |"
      % (big_mb / engine_s, engine_s, engine_s / big_s))
print("| curl, %d files of 256 KB, one invocation | %.0f MB/s (%.2f s) | |" % (nfiles, many_mb / curl_many, curl_many))
print("| one job of those files: transfer (status 4 to 6) | %.0f MB/s (%.2f s); whole job %.2f s | |"
      % (many_mb / many_s, many_s, many_whole))
print("| job / curl | %.2f | >= 0.25 |" % r_many)
print("| processor time per 250 ms, process without manager | %.3f ms (%s ticks) | |" % (idle, runs[0][6]))
print("| for scale: one thread waking every 10 ms, per 250 ms | %.3f ms (%.3f - %.3f) | |" % (wake - idle, wake, idle))
print("| processor time per tick, 1 job waiting | %.3f ms (%.3f - %.3f) | |" % (one_tick, one, idle))
print("| processor time per tick, %d jobs waiting | %.3f ms (%.3f - %.3f) | < 2 ms |" % (njobs, many_tick, many, idle))
print("| stop with %d jobs (each saved) | %s ms | |" % (njobs, stop[0]))
sys.exit(0 if r_big >= 0.5 and r_many >= 0.25 and many_tick < 2 else 1)
PY
