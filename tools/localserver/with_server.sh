#!/usr/bin/env bash
# Runs a command with the local server started for it:
#   with_server.sh <command> [args...]
# The server gets a fresh scratch root and a free port; the command sees
#   SV_NET_PORT      the port on 127.0.0.1
#   SV_NET_ROOT      the root folder (Unix path)
#   SV_NET_ROOT_WIN  the same folder as a Wine path (Z:\...\)
# The server is stopped and the root removed however the command ends; the
# command's exit status is returned.
set -uo pipefail
HERE="$(cd "$(dirname "$0")" && pwd)"
ROOT="$(mktemp -d /tmp/svnet.XXXXXX)"
PORT_FILE="$ROOT.port"
python3 "$HERE/server.py" --root "$ROOT" --port-file "$PORT_FILE" >/dev/null 2>"$ROOT.err" &
SERVER_PID=$!
cleanup() {
  kill "$SERVER_PID" 2>/dev/null && wait "$SERVER_PID" 2>/dev/null
  rm -rf "$ROOT" "$PORT_FILE" "$ROOT.err"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
for _ in $(seq 1 100); do
  [ -s "$PORT_FILE" ] && break
  if ! kill -0 "$SERVER_PID" 2>/dev/null; then cat "$ROOT.err" >&2; exit 1; fi
  sleep 0.05
done
[ -s "$PORT_FILE" ] || { echo "local server did not start" >&2; exit 1; }
export SV_NET_PORT="$(cat "$PORT_FILE")"
export SV_NET_ROOT="$ROOT"
export SV_NET_ROOT_WIN="Z:$(echo "$ROOT/" | tr / '\\')"
"$@"
