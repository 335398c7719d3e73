#!/usr/bin/env bash
# Times the update wizard's download against the network engine's own
# download job of the same files, in one run: N files of M MB each (random,
# so packing does not shrink them), each packed into "<name>.zip" as the
# server delivers it, served by the local server. Runs alternate (engine,
# wizard, engine, ...), each after a sync; prints the medians and their
# ratio as a Markdown table. The wizard's download (from "Старт >>" to
# "100%") must reach the engine's throughput within 10 %; the time to
# "Финиш" adds the statistics query after the download.
#
#   tools/bench/update_bench.sh [files] [MB per file] [pairs]
set -euo pipefail
cd "$(dirname "$0")/../.."
# The wizard is a window: without a display it runs on a virtual one.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a --server-args="-screen 0 1280x1024x24" "$0" "$@"
fi
FILES="${1:-50}"
MB="${2:-4}"
PAIRS="${3:-5}"
source tools/env.sh
configure_and_build >/dev/null
ensure_wineprefix
wineserver -p 2>/dev/null || true

TESTBIN="$BUILD_DIR/testbin"
WORK="$(mktemp -d /tmp/svupdbench.XXXXXX)"
mkdir -p "$WORK/root/client/plugins" "$WORK/engine" "$WORK/wizard"
list=""
for i in $(seq -w 0 $((FILES - 1))); do
  head -c "${MB}M" /dev/urandom >"$WORK/f$i.bin"
  (cd "$WORK" && zip -q -0 "root/client/plugins/f$i.bin.zip" "f$i.bin")
  rm -f "$WORK/f$i.bin"
  list="${list}f$i.bin/"
done
printf 'FILES\t%s\r\n' "$list" >"$WORK/root/client/update.php.getfiles2.reply"
printf 'OK\r\n' >"$WORK/root/client/update.php.download.reply"
for f in update_runner.exe SolvikaUpdate.dll SolvikaNet.dll SolvikaUtils.dll SolvikaPU.dll TovrinNet.dll \
  UnzDll.dll ZipDll.dll; do
  cp "$TESTBIN/$f" "$WORK/wizard/"
done
python3 tools/localserver/server.py --root "$WORK/root" --port-file "$WORK/port" >/dev/null 2>&1 &
SERVER=$!
trap 'kill $SERVER 2>/dev/null; wait $SERVER 2>/dev/null; rm -rf "$WORK"; wineserver -k >/dev/null 2>&1 || true' EXIT
for _ in $(seq 1 100); do [ -s "$WORK/port" ] && break; sleep 0.05; done
HOST="127.0.0.1:$(cat "$WORK/port")"
ENGINE_WIN="$(winepath -w "$WORK/engine")\\"
WIZARD_WIN="$(winepath -w "$WORK/wizard")\\"
zips="$(echo "$list" | sed 's|/|.zip/|g')"

engine_ms=()
wizard_ms=()
finish_ms=()
for _ in $(seq 1 "$PAIRS"); do
  rm -f "$WORK"/engine/f*.bin
  sync
  set -- $(wine "$TESTBIN/update_bench.exe" engine "$HOST" "$ENGINE_WIN" "$zips" | tr -d '\r')
  [ "$4" = 1 ] || { echo "engine download failed" >&2; exit 1; }
  engine_ms+=("$2")
  rm -f "$WORK"/wizard/f*.bin
  sync
  set -- $(wine "$TESTBIN/update_bench.exe" wizard "$HOST" "$WIZARD_WIN" | tr -d '\r')
  [ "$4" = 1 ] || { echo "wizard did not finish" >&2; exit 1; }
  [ "$(ls "$WORK"/wizard/f*.bin | wc -l)" = "$FILES" ] || { echo "wizard did not unpack every file" >&2; exit 1; }
  wizard_ms+=("$6")
  finish_ms+=("$2")
done

emulated="natively"
grep -qs "interpreter" /proc/sys/fs/binfmt_misc/solvika-i386 && emulated="under QEMU user-mode emulation"
python3 - "$FILES" "$MB" "${engine_ms[*]}" "${wizard_ms[*]}" "${finish_ms[*]}" "$emulated" <<'PY'
import statistics, sys
files, mb = int(sys.argv[1]), int(sys.argv[2])
engine = [float(x) for x in sys.argv[3].split()]
wizard = [float(x) for x in sys.argv[4].split()]
finish = [float(x) for x in sys.argv[5].split()]
e, w, f = statistics.median(engine), statistics.median(wizard), statistics.median(finish)
total = files * mb
print("| %d files of %d MB, packed, unpacked on arrival | median (ms) | MB/s |" % (files, mb))
print("|---|---|---|")
print("| network engine's download job | %.0f | %.1f |" % (e, total / (e / 1000)))
print("| update wizard, \"Старт >>\" to \"100%%\" | %.0f | %.1f |" % (w, total / (w / 1000)))
print("| update wizard, \"Старт >>\" to \"Финиш\" | %.0f | |" % f)
print("| wizard download throughput / engine throughput | %.2f | |" % (e / w))
print()
print("Pairs: %d (engine: %s; wizard: %s). 32-bit programs ran %s." % (
    len(engine), " ".join("%.0f" % x for x in engine), " ".join("%.0f" % x for x in wizard), sys.argv[6]))
sys.exit(0 if e / w >= 0.9 else 1)
PY
