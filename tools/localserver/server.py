#!/usr/bin/env python3
"""Local stand-in for the maker's web servers, on 127.0.0.1 (standard library only).

    python3 tools/localserver/server.py --root DIR [--port N] [--port-file F]

Starts on the given port (0 or none: a free one), prints "PORT <n>" on its
first output line (and writes the number to --port-file), serves until SIGTERM
or SIGINT and then stops cleanly.

What it serves, below DIR:

* Static files (e.g. DIR/client/a.bin as /client/a.bin): GET and HEAD,
  Content-Length, ETag, Last-Modified, single byte ranges ("bytes=a-b",
  "bytes=a-", "bytes=-n") answered with 206 and Content-Range, 416 for a range
  beyond the end. Keep-alive (HTTP/1.1).
* Scripts: a path ending in ".php" answers with the text of the first reply file
  that exists: DIR/<path>.<act>.reply (act = the "act" query value), then
  DIR/<path>.reply; none gives 404. GET and POST alike.
* Every request is recorded as one JSON line in DIR/_log/requests.jsonl: method,
  target, path, query, headers and, for multipart posts, the text fields and
  the files (name, size, MD5). Uploaded files are stored in DIR/_uploads/.
* Faults on demand, by a path prefix "/_f/<fault>[,<fault>...]" that is removed
  before the rest is served, so a "host" such as 127.0.0.1:PORT/_f/stall makes
  every request to it misbehave:
    405          a POST is answered with 405 (GET works)
    status=N     every request is answered with status N and a short body
    short        the body stops halfway, then the connection is closed
    stall        headers are sent, then nothing (until the client goes)
    stallhead    nothing at all is sent
    drop         the connection is closed without an answer
    change       the file gets one more byte after it was served
    chunked      the body is sent in chunked transfer coding
    nolength     no Content-Length: the body ends when the connection closes
    close        "Connection: close" after the answer
    badstatus    a status line that is not HTTP
    badlength    Content-Length that is not a number
    neglength    a negative Content-Length
    hugeheader   a header line of 4 MB
    lyingchunk   a chunk that announces more bytes than follow
    redirect     302 to the same path without the prefix
    slow=MS      sleep MS milliseconds before every 64 KB of body
    norange      byte ranges are ignored: the whole file comes with 200
* Hosts that misbehave: GET /_ctl/listen?faults=<fault>[,<fault>...] opens one
  more port on 127.0.0.1 on which every request gets those faults, and
  answers with its number (host lists separate hosts by "/", so a fault
  cannot ride in a host name as a path prefix). With "&root=NAME" that port
  serves (and records requests) below DIR/NAME instead, a site of its own.
* Proxy requests (absolute-form targets "http://host/path") are served from
  DIR as well; a target host ending in "needauth.invalid" asks for Basic proxy
  authentication "user:pass" (407 otherwise).
"""

import argparse
import base64
import email.utils
import hashlib
import json
import os
import re
import signal
import socket
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

PROXY_CREDENTIALS = "user:pass"
BLOCK = 65536


def content_type(fs_path):
    """Pages (the browser plugin's demo pages) as HTML in the client's code
    page; every other file as plain bytes."""
    if fs_path.lower().endswith((".html", ".htm")):
        return "text/html; charset=windows-1251"
    return "application/octet-stream"


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "SvLocal/1.0"

    def log_message(self, fmt, *args):  # quiet
        pass

    # ---- request dispatch ----

    def do_GET(self):
        self.handle_any(body_wanted=True)

    def do_POST(self):
        self.handle_any(body_wanted=True)

    def do_HEAD(self):
        self.handle_any(body_wanted=False)

    def handle_any(self, body_wanted):
        target = self.path
        proxy_host = None
        if target.startswith("http://") or target.startswith("https://"):
            parts = urllib.parse.urlsplit(target)
            proxy_host = parts.hostname or ""
            target = parts.path + ("?" + parts.query if parts.query else "")
        path, _, query = target.partition("?")
        if path == "/_ctl/listen":
            q = urllib.parse.parse_qs(query)
            port = self.server.main.add_listener(q.get("faults", [""])[0], q.get("root", [""])[0])
            return self.simple(200, str(port).encode())
        faults = self.server.parse_faults(self.server.default_faults)
        m = re.match(r"^/_f/([^/]*)(/.*)?$", path)
        if m:
            faults.update(self.server.parse_faults(m.group(1)))
            path = m.group(2) or "/"
        body = self.read_request_body()
        record = {
            "method": self.command,
            "target": self.path,
            "path": path,
            "query": query,
            "faults": sorted(faults),
            "headers": {k: v for k, v in self.headers.items()},
        }
        if body is not None and self.command == "POST":
            record.update(self.parse_form(body))
        self.server.record(record)

        if proxy_host is not None and proxy_host.endswith("needauth.invalid"):
            expected = "Basic " + base64.b64encode(PROXY_CREDENTIALS.encode()).decode()
            if self.headers.get("Proxy-Authorization", "") != expected:
                return self.simple(407, b"proxy authentication required",
                                   [("Proxy-Authenticate", 'Basic realm="proxy"')])
        if "close" in faults:
            self.close_connection = True
        if "drop" in faults:
            self.close_connection = True
            return
        if "stallhead" in faults:
            return self.stall()
        if "badstatus" in faults:
            self.raw(b"SPDY/9 OK\r\nContent-Length: 2\r\n\r\nok")
            self.close_connection = True
            return
        if "status" in faults:
            return self.simple(int(faults["status"] or 500), b"fault status")
        if "405" in faults and self.command == "POST":
            return self.simple(405, b"method not allowed", [("Allow", "GET, HEAD")])
        if "redirect" in faults:
            return self.simple(302, b"moved", [("Location", path)])

        fs_path = self.server.local_path(path)
        if path.endswith(".php"):
            return self.script(fs_path, query, faults, body_wanted)
        if fs_path is None or not os.path.isfile(fs_path):
            return self.simple(404, b"not found")
        return self.static(fs_path, faults, body_wanted)

    def read_request_body(self):
        length = self.headers.get("Content-Length")
        if length is None:
            return None
        try:
            n = int(length)
        except ValueError:
            return None
        data = b""
        while len(data) < n:
            piece = self.rfile.read(min(BLOCK, n - len(data)))
            if not piece:
                break
            data += piece
        return data

    # ---- replies ----

    def raw(self, data):
        try:
            self.wfile.write(data)
            self.wfile.flush()
        except OSError:
            self.close_connection = True

    def simple(self, status, body, extra=()):
        self.send_response(status)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        for k, v in extra:
            self.send_header(k, v)
        self.end_headers()
        if self.command != "HEAD":
            self.raw(body)

    def stall(self):
        # Wait until the client goes away (or a long time passes).
        self.close_connection = True
        self.connection.settimeout(1.0)
        end = time.time() + 120
        while time.time() < end and not self.server.stopping.is_set():
            try:
                if self.connection.recv(1024) == b"":
                    return
            except socket.timeout:
                continue
            except OSError:
                return

    def script(self, fs_path, query, faults, body_wanted):
        act = urllib.parse.parse_qs(query).get("act", [""])[0]
        reply = None
        if fs_path is not None:
            for candidate in ([fs_path + "." + act + ".reply"] if act else []) + [fs_path + ".reply"]:
                if os.path.isfile(candidate):
                    with open(candidate, "rb") as f:
                        reply = f.read()
                    break
        if reply is None:
            return self.simple(404, b"no such script")
        self.send_body(reply, None, faults, body_wanted, 200, [("Content-Type", "text/plain")])

    def static(self, fs_path, faults, body_wanted):
        st = os.stat(fs_path)
        size = st.st_size
        etag = '"%x-%x"' % (st.st_mtime_ns, size)
        headers = [("ETag", etag),
                   ("Last-Modified", email.utils.formatdate(st.st_mtime, usegmt=True)),
                   ("Accept-Ranges", "bytes"),
                   ("Content-Type", content_type(fs_path))]
        start, end, status = 0, size - 1, 200
        rng = self.headers.get("Range")
        if rng and "norange" not in faults:
            m = re.match(r"^\s*bytes\s*=\s*(\d*)\s*-\s*(\d*)\s*$", rng)
            if m and (m.group(1) or m.group(2)):
                if m.group(1):
                    start = int(m.group(1))
                    end = int(m.group(2)) if m.group(2) else size - 1
                else:
                    start = max(0, size - int(m.group(2)))
                end = min(end, size - 1)
                if start >= size or start > end:
                    return self.simple(416, b"range not satisfiable", [("Content-Range", "bytes */%d" % size)])
                status = 206
                headers.append(("Content-Range", "bytes %d-%d/%d" % (start, end, size)))
        self.send_body((fs_path, start, end - start + 1), size, faults, body_wanted, status, headers)
        if "change" in faults:
            with open(fs_path, "ab") as f:
                f.write(b"+")
            os.utime(fs_path, (st.st_atime + 2, st.st_mtime + 2))

    def send_body(self, source, _size, faults, body_wanted, status, headers):
        """source: bytes, or (file path, start, count)."""
        count = len(source) if isinstance(source, bytes) else source[2]
        self.send_response(status)
        for k, v in headers:
            self.send_header(k, v)
        chunked = "chunked" in faults or "lyingchunk" in faults
        if "badlength" in faults:
            self.send_header("Content-Length", "12x4")
        elif "neglength" in faults:
            self.send_header("Content-Length", "-5")
        elif chunked:
            self.send_header("Transfer-Encoding", "chunked")
        elif "nolength" in faults:
            self.close_connection = True
            self.send_header("Connection", "close")
        else:
            self.send_header("Content-Length", str(count))
        if "hugeheader" in faults:
            self.send_header("X-Huge", "h" * (4 << 20))
        self.end_headers()
        if not body_wanted:
            return
        if "stall" in faults:
            return self.stall()
        limit = count // 2 if "short" in faults else count
        slow = int(faults.get("slow") or 0) / 1000.0
        sent = 0
        f = None
        try:
            if not isinstance(source, bytes):
                f = open(source[0], "rb")
                f.seek(source[1])
            while sent < limit:
                n = min(BLOCK, limit - sent)
                data = source[sent:sent + n] if isinstance(source, bytes) else f.read(n)
                if not data:
                    break
                if slow:
                    time.sleep(slow)
                if chunked:
                    announced = len(data) + (1000 if "lyingchunk" in faults else 0)
                    data = b"%x\r\n" % announced + data + b"\r\n"
                self.wfile.write(data)
                sent += n
            if chunked and "lyingchunk" not in faults and "short" not in faults:
                self.wfile.write(b"0\r\n\r\n")
            self.wfile.flush()
        except OSError:
            pass
        finally:
            if f:
                f.close()
        if "short" in faults or "lyingchunk" in faults:
            self.close_connection = True

    # ---- forms ----

    def parse_form(self, body):
        ctype = self.headers.get("Content-Type", "")
        m = re.search(r'boundary="?([^";]+)"?', ctype)
        result = {"fields": {}, "files": {}, "body_size": len(body)}
        if not ctype.startswith("multipart/form-data") or not m:
            result["body"] = body.decode("latin-1")
            return result
        boundary = b"--" + m.group(1).encode("latin-1")
        for part in body.split(boundary)[1:]:
            if part.startswith(b"--"):
                break
            part = part[2:] if part.startswith(b"\r\n") else part
            head, _, content = part.partition(b"\r\n\r\n")
            if content.endswith(b"\r\n"):
                content = content[:-2]
            disp = ""
            for line in head.split(b"\r\n"):
                if line.lower().startswith(b"content-disposition:"):
                    disp = line.decode("latin-1")
            name = re.search(r'\bname="([^"]*)"', disp)
            fname = re.search(r'\bfilename="([^"]*)"', disp)
            key = name.group(1) if name else ""
            if fname:
                safe = os.path.basename(fname.group(1).replace("\\", "/")) or "upload"
                os.makedirs(self.server.upload_dir, exist_ok=True)
                with open(os.path.join(self.server.upload_dir, safe), "wb") as f:
                    f.write(content)
                result["files"][key] = {"filename": fname.group(1), "size": len(content),
                                        "md5": hashlib.md5(content).hexdigest()}
            else:
                result["fields"][key] = content.decode("latin-1")
        return result


class Server(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = False
    # The standard backlog of 5 overflows when several test programs and the
    # download manager's parallel jobs connect at once; dropped connections
    # then wait out the client's retransmission delays.
    request_queue_size = 128

    def __init__(self, root, port, default_faults="", main=None):
        super().__init__(("127.0.0.1", port), Handler)
        self.main = main or self
        self.default_faults = default_faults
        self.listeners = {}
        self.root = os.path.abspath(root)
        self.log_path = os.path.join(self.root, "_log", "requests.jsonl")
        self.upload_dir = os.path.join(self.root, "_uploads")
        self.log_lock = threading.Lock()
        self.stopping = threading.Event()
        os.makedirs(os.path.dirname(self.log_path), exist_ok=True)

    @staticmethod
    def parse_faults(spec):
        faults = {}
        for item in spec.split(","):
            key, _, val = item.partition("=")
            if key:
                faults[key] = val
        return faults

    def add_listener(self, spec, site=""):
        key = (spec, site)
        with self.log_lock:
            if key in self.listeners:
                return self.listeners[key].server_address[1]
            root = self.root
            if site:
                root = os.path.normpath(os.path.join(self.root, site))
                if not root.startswith(self.root + os.sep):
                    root = self.root
            extra = Server(root, 0, spec, self)
            extra.stopping = self.stopping
            self.listeners[key] = extra
        threading.Thread(target=extra.serve_forever, kwargs={"poll_interval": 0.2}, daemon=True).start()
        return extra.server_address[1]

    def local_path(self, url_path):
        rel = urllib.parse.unquote(url_path).lstrip("/")
        full = os.path.normpath(os.path.join(self.root, rel))
        if full != self.root and not full.startswith(self.root + os.sep):
            return None
        return full

    def record(self, entry):
        line = json.dumps(entry, ensure_ascii=True)
        with self.log_lock, open(self.log_path, "a") as f:
            f.write(line + "\n")


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--root", required=True)
    ap.add_argument("--port", type=int, default=0)
    ap.add_argument("--port-file")
    args = ap.parse_args()
    os.makedirs(args.root, exist_ok=True)
    server = Server(args.root, args.port)
    port = server.server_address[1]
    if args.port_file:
        tmp = args.port_file + ".tmp"
        with open(tmp, "w") as f:
            f.write(str(port))
        os.replace(tmp, args.port_file)
    print("PORT %d" % port, flush=True)

    def stop(*_):
        server.stopping.set()

        def shut():
            for extra in list(server.listeners.values()):
                extra.shutdown()
            server.shutdown()
        threading.Thread(target=shut, daemon=True).start()

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    server.serve_forever(poll_interval=0.2)
    server.server_close()


if __name__ == "__main__":
    main()
