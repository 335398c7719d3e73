#!/usr/bin/env bash
# Runs a command with the local server started for it:
#   with_server.sh <command> [args...]
# The server gets a fresh scratch root and a free port; the command sees
#   SV_NET_PORT      the port on 127.0.0.1
#   SV_NET_ROOT      the root folder (Unix path)
#   SV_NET_ROOT_WIN  the same folder as a Wine path (Z:\...\)
#   SV_NGINX_PORT    when nginx is installed: a port on 127.0.0.1 on which
#                    nginx serves the same folder (a real web server, to hold
#                    the client to what real servers send); empty otherwise
# The server is stopped and the root removed however the command ends; the
# command's exit status is returned.
set -uo pipefail
HERE="$(cd "$(dirname "$0")" && pwd)"
ROOT="$(mktemp -d /tmp/svnet.XXXXXX)"
PORT_FILE="$ROOT.port"
python3 "$HERE/server.py" --root "$ROOT" --port-file "$PORT_FILE" >/dev/null 2>"$ROOT.err" &
SERVER_PID=$!
NGINX_PID=""
cleanup() {
  kill "$SERVER_PID" 2>/dev/null && wait "$SERVER_PID" 2>/dev/null
  [ -n "$NGINX_PID" ] && kill "$NGINX_PID" 2>/dev/null && wait "$NGINX_PID" 2>/dev/null
  rm -rf "$ROOT" "$PORT_FILE" "$ROOT.err" "$ROOT.nginx"
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
export SV_NGINX_PORT=""
NGINX="$(command -v nginx || true)"
[ -z "$NGINX" ] && [ -x /usr/sbin/nginx ] && NGINX=/usr/sbin/nginx
if [ -n "$NGINX" ]; then
  # One process (no master, no user switch), everything in a scratch folder.
  N="$ROOT.nginx"
  mkdir -p "$N/tmp"
  NPORT="$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
  cat >"$N/nginx.conf" <<CONF
daemon off;
master_process off;
pid $N/nginx.pid;
error_log $N/error.log;
events { worker_connections 64; }
http {
  access_log off;
  default_type application/octet-stream;
  client_body_temp_path $N/tmp/body;
  proxy_temp_path $N/tmp/proxy;
  fastcgi_temp_path $N/tmp/fastcgi;
  uwsgi_temp_path $N/tmp/uwsgi;
  scgi_temp_path $N/tmp/scgi;
  server {
    listen 127.0.0.1:$NPORT;
    root $ROOT;
  }
}
CONF
  "$NGINX" -p "$N" -c "$N/nginx.conf" >/dev/null 2>&1 &
  NGINX_PID=$!
  for _ in $(seq 1 100); do
    python3 -c "import socket; socket.create_connection(('127.0.0.1', $NPORT), 0.2)" 2>/dev/null && {
      export SV_NGINX_PORT="$NPORT"; break; }
    kill -0 "$NGINX_PID" 2>/dev/null || break
    sleep 0.05
  done
fi
"$@"
