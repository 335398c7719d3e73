#!/usr/bin/env bash
# Runs the installation-road test: the local server (started around this
# script by with_server.sh) gets the demo site made from the build, a scratch
# program folder gets the demo program, and the test program drives them.
#   road.sh <build dir> <emulator> <test program> [args...]
set -uo pipefail
HERE="$(cd "$(dirname "$0")" && pwd)"
BUILD="$1"
EMULATOR="$2"
shift 2
python3 "$HERE/../../tools/demo/demo.py" site --build "$BUILD" --out "$SV_NET_ROOT" --port "$SV_NET_PORT" || exit 1
FOLDER="$(mktemp -d /tmp/svroad.XXXXXX)"
trap 'rm -rf "$FOLDER"' EXIT
python3 "$HERE/../../tools/demo/demo.py" program --build "$BUILD" --into "$FOLDER" || exit 1
export SV_ROAD_PROGRAM="Z:$(echo "$FOLDER/" | tr / '\\')"
export SV_ROAD_SHOTS="$BUILD/screenshots"
mkdir -p "$SV_ROAD_SHOTS"
"$EMULATOR" "$@"
