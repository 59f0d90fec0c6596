"""The small internet's one web server: it answers for every host by the Host header and
keeps a log of each request with its host, path and header lines."""

import html
import http.server
import json
import threading
import time

TUTORIAL_PATH = "/player.php/sid/XNzk3NjU5MDc2/v.swf"

# Player addresses need something a browser can show: a page naming the player asked for.
PLAYER_PAGE = """<!doctype html><meta charset="utf-8"><title>{name}</title>
<body style="margin:0;background:#101820;color:#e8e8e8;font:20px sans-serif">
<div style="padding:60px 30px"><div style="font-size:28px;margin-bottom:16px">{name}</div>
<div>{host}{path}</div></div></body>"""


def player_page(name, host, path):
    body = PLAYER_PAGE.format(name=html.escape(name), host=html.escape(host),
                              path=html.escape(path))
    return "text/html; charset=utf-8", body.encode("utf-8")


class Site:
    """What one host answers: exact paths first, then path prefixes; None: 404."""

    def __init__(self, pages=None, prefixes=None):
        self.pages = dict(pages or {})
        self.prefixes = dict(prefixes or {})

    def answer(self, host, path):
        if path in self.pages:
            return self.pages[path]
        for prefix, make in self.prefixes.items():
            if path.startswith(prefix):
                return make(host, path)
        return None


def html_page(text):
    return "text/html; charset=utf-8", text.encode("utf-8")


class EndlessBody:
    """A page whose body never ends: blocks at full speed, with no length, until the client
    goes. The server still stops by itself after 1 GiB or a minute."""

    BLOCK = b"<p>more</p>" * 6000
    MOST_BYTES = 1 << 30
    MOST_SECONDS = 60

    def send(self, request):
        request.send_response(200)
        request.send_header("Content-Type", "text/html; charset=utf-8")
        request.send_header("Connection", "close")
        request.end_headers()
        request.close_connection = True
        sent, deadline = 0, time.monotonic() + self.MOST_SECONDS
        try:
            while sent < self.MOST_BYTES and time.monotonic() < deadline:
                request.wfile.write(self.BLOCK)
                sent += len(self.BLOCK)
        except (BrokenPipeError, ConnectionResetError):
            pass


class FixtureServer:
    """Listens on every local address at `port`; `sites` maps a host name to its Site."""

    def __init__(self, sites, port=80, log_path=None):
        self.sites = sites
        self.requests = []
        self.lock = threading.Lock()
        self.log_path = log_path
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.1"

            def do_GET(self):
                server.handle(self)

            do_POST = do_GET

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(("0.0.0.0", port), Handler)
        self.httpd.daemon_threads = True
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)

    def start(self):
        self.thread.start()
        return self

    def stop(self):
        self.httpd.shutdown()
        self.httpd.server_close()

    def handle(self, request):
        host = (request.headers.get("Host") or "").split(":")[0].lower()
        entry = {"host": host, "path": request.path, "method": request.command,
                 "headers": [f"{k}: {v}" for k, v in request.headers.items()]}
        with self.lock:
            self.requests.append(entry)
            if self.log_path:
                with open(self.log_path, "a", encoding="utf-8") as log:
                    log.write(json.dumps(entry, ensure_ascii=False) + "\n")
        site = self.sites.get(host)
        found = site.answer(host, request.path) if site else None
        if isinstance(found, EndlessBody):
            found.send(request)
            return
        if found is None:
            status, (kind, body) = 404, ("text/plain", b"not here\n")
        else:
            status, (kind, body) = 200, found
        request.send_response(status)
        request.send_header("Content-Type", kind)
        request.send_header("Content-Length", str(len(body)))
        # Every load must reach the log: a player shown again is fetched again.
        request.send_header("Cache-Control", "no-store")
        request.end_headers()
        if request.command != "HEAD":
            request.wfile.write(body)

    def seen(self, host=None, path=None):
        """The requests so far, those for `host` and `path` when given."""
        with self.lock:
            return [r for r in self.requests
                    if (host is None or r["host"] == host) and (path is None or r["path"] == path)]
