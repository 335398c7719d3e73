#!/bin/sh
# Info-ZIP reads the tree archive that engine_test.cpp packed with ZipFiles
# (files in several pieces, stored and deflated, folders, a Cyrillic name)
# and finds the same files; then the engine (through UnZipFiles, run by
# pack_bench.exe under Wine) unpacks the same tree packed by Info-ZIP zip.
set -e
dir="$1/pack_interop"
unzip -tq "$dir/tree.zip"
rm -rf "$dir/tree_x" && mkdir "$dir/tree_x"
LC_ALL=ru_RU.UTF-8 unzip -q "$dir/tree.zip" -d "$dir/tree_x"
diff -r "$dir/tree" "$dir/tree_x/tree"
echo "Info-ZIP reads tree.zip"
rm -rf "$dir/tree_y" "$dir/tree_infozip.zip" && mkdir "$dir/tree_y"
(cd "$dir" && LC_ALL=ru_RU.UTF-8 zip -q -r -9 tree_infozip.zip tree)
wine "$1/pack_bench.exe" unzip "$(winepath -w "$dir/tree_infozip.zip")" "$(winepath -w "$dir/tree_y")"
diff -r "$dir/tree" "$dir/tree_y/tree"
echo "the engine reads tree_infozip.zip"
