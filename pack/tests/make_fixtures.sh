#!/bin/sh
# Builds the archives the pack tests read: one made by Info-ZIP zip (deflated,
# stored, folder entries, a streamed entry with a data descriptor) and
# hand-made ones (names leaving the target folder, empty, damaged).
set -e
out="$1"
rm -rf "$out"
mkdir -p "$out/src/sub/deeper" "$out/src/emptydir"
cd "$out/src"
printf 'hello from a.txt\n' > a.txt
printf 'upper case name\n' > B.TXT
head -c 300000 /dev/urandom > sub/b.bin
yes 'compressible line of text' | head -n 5000 > sub/deeper/c.txt
: > empty.txt
zip -q -9 -r ../infozip.zip a.txt B.TXT sub emptydir empty.txt
printf 'kept as is\n' > stored.txt
zip -q -0 ../infozip.zip stored.txt
# Written to a pipe, zip cannot seek back and uses data descriptors.
zip -q - a.txt sub/deeper/c.txt | cat > ../streamed.zip
cd ..
head -c 2000 infozip.zip > truncated.zip
printf 'this is not an archive at all, just text\n' > notzip.zip
python3 - "$out" <<'PY'
import sys, zipfile, os
out = sys.argv[1]
def make(name, entries):
    with zipfile.ZipFile(os.path.join(out, name), "w", zipfile.ZIP_DEFLATED) as z:
        for n, data in entries:
            z.writestr(zipfile.ZipInfo(n), data)
make("empty.zip", [])
for tag, bad in [("dotdot", "../escaped.txt"), ("inner", "sub/../../escaped.txt"),
                 ("absolute", "/escaped.txt"), ("backslash", "\\escaped.txt"),
                 ("drive", "C:/escaped.txt"), ("winsep", "sub\\..\\..\\escaped.txt")]:
    make("evil_%s.zip" % tag, [("good.txt", b"good"), (bad, b"evil")])
# A stored entry whose data no longer fits its CRC.
with zipfile.ZipFile(os.path.join(out, "crc.zip"), "w", zipfile.ZIP_STORED) as z:
    z.writestr("data.txt", b"0123456789" * 10)
raw = bytearray(open(os.path.join(out, "crc.zip"), "rb").read())
i = raw.find(b"0123456789")
raw[i] ^= 0xFF
open(os.path.join(out, "crc.zip"), "wb").write(raw)
PY
