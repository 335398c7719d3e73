#!/usr/bin/env bash
# Times SolvikaPU's zip engine against Info-ZIP on the same tree of about
# 200 MB (text that compresses and random data that does not), in one run:
#   unpack: UnZipFiles of an archive made by `zip -9 -r` against `unzip -q`;
#   pack:   ZipFiles of the tree (level 9) against `zip -9 -q -r`.
# Each side runs twice and its best time counts. The library must reach at
# least 0.8 of Info-ZIP's speed, and its archive must be about the same size.
# Exits non-zero when it does not.
#
#   BUILD_DIR=... tools/bench/pack_bench.sh [megabytes]
set -euo pipefail
cd "$(dirname "$0")/../.."
MB="${1:-200}"
source tools/env.sh
cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw32.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD_DIR" -j 2 --target pack_bench >/dev/null
ensure_wineprefix
wineserver -p  # keep Wine's server warm between the runs

BENCH="$BUILD_DIR/testbin/pack_bench.exe"
# The work folder sits beside the program folder (same file system), so that
# moving from the scratch folder is a rename for both sides.
WORK="$BUILD_DIR/pack_bench_work"
rm -rf "$WORK"
mkdir -p "$WORK"
trap 'rm -rf "$WORK"; wineserver -k >/dev/null 2>&1 || true' EXIT
win() { winepath -w "$1" 2>/dev/null; }

python3 - "$WORK/tree" "$MB" <<'PY'
import os, random, sys
root, total = sys.argv[1], int(sys.argv[2]) << 20
rng = random.Random(20261208)
words = ["".join(rng.choice("abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 10))) for _ in range(4000)]
pool = " ".join(rng.choice(words) + ("\n" if rng.random() < 0.08 else "") for _ in range(1_500_000)).encode()
made = 0
n = 0
while made < total:
    n += 1
    folder = os.path.join(root, "d%02d" % (n % 23), "s%d" % (n % 5))
    os.makedirs(folder, exist_ok=True)
    if n % 97 == 0:
        size = rng.randint(18, 30) << 20  # a few large files
    else:
        size = rng.randint(2_000, 600_000)
    size = min(size, total - made) or 1
    if n % 2:
        start = rng.randint(0, len(pool) - 1)
        data = (pool[start:] + pool)[:size] if size < len(pool) else (pool * (size // len(pool) + 1))[:size]
        path = os.path.join(folder, "text%05d.txt" % n)
    else:
        data = rng.randbytes(size)
        path = os.path.join(folder, "data%05d.bin" % n)
    with open(path, "wb") as f:
        f.write(data)
    made += size
print("tree: %d files, %d MB" % (n, made >> 20))
PY

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
best() { LC_ALL=C sort -g | head -1; }
ours_ms() { sed -nE 's/.*rc=0 ms=([0-9.]+).*/\1/p' <<<"$1"; }

(cd "$WORK" && zip -q -9 -r ref.zip tree)

unz_ours=(); unz_info=(); zip_ours=(); zip_info=()
for run in 1 2; do
  rm -rf "$WORK/out_info" "$WORK/out_ours"; mkdir -p "$WORK/out_ours"
  sync
  t0=$(now_ms); unzip -q "$WORK/ref.zip" -d "$WORK/out_info"; t1=$(now_ms)
  unz_info+=($((t1 - t0)))
  out="$(wine "$BENCH" unzip "$(win "$WORK/ref.zip")" "$(win "$WORK/out_ours")")"
  ms="$(ours_ms "$out")"; [ -n "$ms" ] || { echo "UnZipFiles failed: $out" >&2; exit 1; }
  unz_ours+=("$ms")

  rm -f "$WORK/info.zip" "$WORK/ours.zip"
  sync
  t0=$(now_ms); (cd "$WORK" && zip -9 -q -r info.zip tree); t1=$(now_ms)
  zip_info+=($((t1 - t0)))
  out="$(wine "$BENCH" zip "$(win "$WORK/ours.zip")" "$(win "$WORK/tree")")"
  ms="$(ours_ms "$out")"; [ -n "$ms" ] || { echo "ZipFiles failed: $out" >&2; exit 1; }
  zip_ours+=("$ms")
done

# Both sides produced the same files; Info-ZIP reads our archive.
diff -r "$WORK/out_info/tree" "$WORK/out_ours/tree" >/dev/null || { echo "unpacked trees differ" >&2; exit 1; }
unzip -tq "$WORK/ours.zip" >/dev/null || { echo "Info-ZIP finds errors in our archive" >&2; exit 1; }

uo=$(printf '%s\n' "${unz_ours[@]}" | best); ui=$(printf '%s\n' "${unz_info[@]}" | best)
zo=$(printf '%s\n' "${zip_ours[@]}" | best); zi=$(printf '%s\n' "${zip_info[@]}" | best)
so=$(stat -c %s "$WORK/ours.zip"); si=$(stat -c %s "$WORK/info.zip")
ratio() { LC_ALL=C awk -v lib="$1" -v ref="$2" 'BEGIN { printf "%.2f", (lib > 0 ? ref / lib : 99) }'; }
ru=$(ratio "$uo" "$ui"); rz=$(ratio "$zo" "$zi")
rs=$(LC_ALL=C awk -v a="$so" -v b="$si" 'BEGIN { printf "%.3f", a / b }')

echo "| work (${MB} MB tree) | SolvikaPU (ms) | Info-ZIP (ms) | speed vs Info-ZIP |"
echo "|---|---|---|---|"
echo "| unpack (UnZipFiles / unzip -q) | $uo | $ui | $ru |"
echo "| pack, level 9 (ZipFiles / zip -9 -q -r) | $zo | $zi | $rz |"
echo "| archive size (bytes) | $so | $si | size ratio $rs |"
LC_ALL=C awk -v a="$ru" -v b="$rz" -v s="$rs" 'BEGIN { exit !(a >= 0.8 && b >= 0.8 && s <= 1.02) }' ||
  { echo "below 0.8 of Info-ZIP's speed, or the archive is larger" >&2; exit 1; }
