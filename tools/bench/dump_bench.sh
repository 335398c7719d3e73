#!/usr/bin/env bash
# Times the program backup (list + pack through SolvikaPU, as the backup
# window does it) of a 200 MB program folder of a few hundred files in
# sub-folders against `zip -9 -r` of the same folder. Pairs alternate after a
# sync; the medians count. The backup should reach at least half of zip's
# speed (ratio = zip time / backup time >= 0.5).
#
#   BUILD_DIR=... tools/bench/dump_bench.sh [pairs]
set -euo pipefail
cd "$(dirname "$0")/../.."
PAIRS="${1:-5}"
source tools/env.sh
command -v zip >/dev/null || { echo "zip is not installed" >&2; exit 2; }
configure_and_build >/dev/null
ensure_wineprefix
wineserver -p

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"; wineserver -k >/dev/null 2>&1 || true' EXIT
SRC="$WORK/program"
# 400 files, 512 KB each on average, in 20 sub-folders; half compressible text.
python3 - "$SRC" <<'PY'
import os, random, sys
root = sys.argv[1]
random.seed(7)
for i in range(400):
    d = os.path.join(root, "plug%02d" % (i % 20)) if i % 4 else root
    os.makedirs(d, exist_ok=True)
    size = random.randint(256, 768) * 1024
    with open(os.path.join(d, "file%03d.%s" % (i, "txt" if i % 2 else "bin")), "wb") as f:
        if i % 2:
            words = [b"solvika", b"plugin", b"settings", b"download", b"record"]
            f.write(b" ".join(random.choice(words) for _ in range(size // 7))[:size])
        else:
            f.write(os.urandom(size))
PY
du -sh "$SRC"

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
median() { LC_ALL=C sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
BENCH="$BUILD_DIR/testbin/dump_bench.exe"
dump_ms=(); zip_ms=()
for run in $(seq 1 "$PAIRS"); do
  rm -f "$WORK/b.dump" "$WORK/z.zip"; sync
  start=$(now_ms)
  wine "$BENCH" "$(winepath -w "$SRC")" "$(winepath -w "$WORK/b")" >"$WORK/out.txt"
  dump_ms+=($(( $(now_ms) - start )))
  sync
  start=$(now_ms)
  (cd "$SRC" && zip -9 -r -q "$WORK/z.zip" .)
  zip_ms+=($(( $(now_ms) - start )))
  echo "pair $run: backup ${dump_ms[-1]} ms ($(cat "$WORK/out.txt")), zip -9 ${zip_ms[-1]} ms"
done
d=$(printf '%s\n' "${dump_ms[@]}" | median)
z=$(printf '%s\n' "${zip_ms[@]}" | median)
ratio=$(LC_ALL=C awk -v d="$d" -v z="$z" 'BEGIN {printf "%.2f", z / d}')
echo "median backup ${d} ms, median zip -9 ${z} ms, speed ratio ${ratio} (target >= 0.5)"
echo "archive sizes: backup $(stat -c %s "$WORK/b.dump") bytes, zip $(stat -c %s "$WORK/z.zip") bytes"
awk -v r="$ratio" 'BEGIN {exit !(r >= 0.5)}'
