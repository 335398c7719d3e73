# Shared pieces of the benchmark scripts (sourced, not run):
#   start_nginx <root> <scratch>  nginx from Debian (installed when missing)
#                                 serving <root> on a free port of 127.0.0.1;
#                                 sets NGINX_PORT and NGINX_PID
#   stop_nginx
#   median <values...>            the median of the numbers
#   spread <values...>            (max - min) / median, the run-to-run noise
# The timed runs of a benchmark take turns (anchor, library, anchor, ...),
# each after a `sync`, so that neither side meets more writeback than the
# other; the medians of the pairs are reported.

ensure_nginx() {
  NGINX_BIN="$(command -v nginx || true)"
  [ -z "$NGINX_BIN" ] && [ -x /usr/sbin/nginx ] && NGINX_BIN=/usr/sbin/nginx
  [ -n "$NGINX_BIN" ] && return 0
  local sudo=""
  [ "$(id -u)" != 0 ] && sudo="sudo"
  # The package must not start the system's nginx on port 80.
  local policy=/usr/sbin/policy-rc.d own=0
  if [ ! -e "$policy" ]; then
    printf '#!/bin/sh\nexit 101\n' | $sudo tee "$policy" >/dev/null
    $sudo chmod +x "$policy"
    own=1
  fi
  $sudo apt-get update -q >/dev/null
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends nginx-light >/dev/null
  [ "$own" = 1 ] && $sudo rm -f "$policy"
  NGINX_BIN=/usr/sbin/nginx
}

start_nginx() {
  local root="$1" n="$2"
  ensure_nginx
  mkdir -p "$n/tmp"
  NGINX_PORT="$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
  cat >"$n/nginx.conf" <<CONF
daemon off;
master_process off;
pid $n/nginx.pid;
error_log $n/error.log;
events { worker_connections 256; }
http {
  access_log off;
  sendfile on;
  keepalive_requests 100000;
  default_type application/octet-stream;
  client_body_temp_path $n/tmp/body;
  proxy_temp_path $n/tmp/proxy;
  fastcgi_temp_path $n/tmp/fastcgi;
  uwsgi_temp_path $n/tmp/uwsgi;
  scgi_temp_path $n/tmp/scgi;
  server {
    listen 127.0.0.1:$NGINX_PORT;
    root $root;
  }
}
CONF
  "$NGINX_BIN" -p "$n" -c "$n/nginx.conf" >/dev/null 2>&1 &
  NGINX_PID=$!
  for _ in $(seq 1 100); do
    python3 -c "import socket; socket.create_connection(('127.0.0.1', $NGINX_PORT), 0.2)" 2>/dev/null && return 0
    kill -0 "$NGINX_PID" 2>/dev/null || break
    sleep 0.05
  done
  echo "nginx did not start" >&2
  return 1
}

stop_nginx() {
  [ -n "${NGINX_PID:-}" ] && kill "$NGINX_PID" 2>/dev/null && wait "$NGINX_PID" 2>/dev/null
  NGINX_PID=""
}

median() { python3 -c "import statistics, sys; print(statistics.median(map(float, sys.argv[1:])))" "$@"; }
spread() {
  python3 -c "import statistics, sys; v = list(map(float, sys.argv[1:])); m = statistics.median(v); print('%.2f' % ((max(v) - min(v)) / m if m else 0))" "$@"
}
