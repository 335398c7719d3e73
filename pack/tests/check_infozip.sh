#!/bin/sh
# Info-ZIP reads the archive written by ZipDll.dll in the pack tests.
set -e
dir="$1/pack_interop"
test -f "$dir/ours.zip"
unzip -tq "$dir/ours.zip"
rm -rf "$dir/x" && mkdir "$dir/x"
unzip -q "$dir/ours.zip" -d "$dir/x"
cmp "$dir/x/one.txt" "$dir/one.txt"
cmp "$dir/x/big.bin" "$dir/big.bin"
test ! -e "$dir/x/gone.txt"
echo "Info-ZIP reads ours.zip"
