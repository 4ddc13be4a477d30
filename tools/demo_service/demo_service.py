#!/usr/bin/env python3
"""The Kavuno service on one machine, for the demo and the tests.

One HTTP (or HTTPS) server carries both the update server and the web site:

  /movie/update.txt          the manifest of the update folder
  /movie/update.sig          the signed file list of the update folder
  /movie/file/<name>         a file of the update folder (<folder>/file/<name>)
  /ad, /ad/ads.asp, /ad/cache.asp, /film/soft.asp?id=...   the site's pages

and one UDP socket receives the player's presence datagrams ("Conn", "Quit"),
logging each with its source address and port.

The update folder is the "movie" folder of a release that `kavuno-release
publish SOURCE_DIR SERVER_DIR --key KEY` wrote: SERVER_DIR/movie.

Tests can make any path misbehave (see Fault): an error status, a body shorter
than its Content-Length, a slow transfer, a connection dropped midway, or a
server that stops sending.

Command line (the demo uses the defaults):
  demo_service.py [--host 127.0.0.1] [--http-port 8780] [--udp-port 7891]
                  [--update-dir SERVER_DIR/movie] [--log FILE] [--faults FILE.json]
                  [--tls-cert CERT.pem --tls-key KEY.pem]
With a certificate the server speaks HTTPS only; the test certificates from
tools/keys/make-test-keys.sh are made out to "localhost", so the base address
is https://localhost:PORT.
Port 0 picks a free port; the first line printed is
  "ready http=<port> udp=<port>"
once both sockets listen. The faults file maps a path to a fault's fields,
e.g. {"/movie/file/a.dat": {"rate": 20000}}; it is read again when it changes.

Standard library only.
"""
from __future__ import annotations

import argparse
import dataclasses
import html
import json
import os
import socket
import ssl
import struct
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from typing import Callable, Optional

MANIFEST_PATH = "/movie/update.txt"
LIST_PATH = "/movie/update.sig"
FILE_PREFIX = "/movie/file/"


@dataclasses.dataclass
class Fault:
    """How one path misbehaves. Fields combine (a slow, short body, say).

    status     answer with this HTTP status (and its usual small error page)
    short_by   send this many bytes fewer than Content-Length announces, then
               close the connection cleanly
    rate       send the body at about this many bytes per second (0.5: a
               byte every two seconds)
    drop_after reset the connection (TCP RST) after this many body bytes;
               0 drops it right after the headers
    refuse     close the connection without answering at all
    delay      seconds to wait before answering (a server that accepted the
               connection and sends nothing)
    stall_after send this many body bytes, then nothing more, holding the
               connection open until the client leaves (or two minutes)
    """
    status: Optional[int] = None
    short_by: int = 0
    rate: Optional[float] = None
    drop_after: Optional[int] = None
    refuse: bool = False
    delay: float = 0.0
    stall_after: Optional[int] = None

    @staticmethod
    def from_dict(d: dict) -> "Fault":
        names = {f.name for f in dataclasses.fields(Fault)}
        unknown = set(d) - names
        if unknown:
            raise ValueError(f"unknown fault fields: {sorted(unknown)}")
        return Fault(**d)


@dataclasses.dataclass
class RequestRecord:
    method: str
    path: str        # as sent, query included
    client: tuple    # (host, port)
    headers: dict
    status: int      # status answered (0 when refused)
    time: float
    decoded_path: str = ""  # the path's text, unescaped (a GBK name as text)
    raw_path: bytes = b""   # the path's bytes as the client sent them, unescaped
    finished: Optional[float] = None  # when the answer was sent, or the client went away


@dataclasses.dataclass
class Datagram:
    host: str
    port: int
    payload: bytes
    time: float


def decode_path(raw: bytes) -> str:
    """A request path's text. Browsers escape UTF-8; WinINet sends the GBK
    bytes of a Chinese name as they are. Neither decoding fits the other's
    bytes by chance, so UTF-8 is tried first."""
    for encoding in ("utf-8", "gbk"):
        try:
            return raw.decode(encoding)
        except UnicodeDecodeError:
            pass
    return raw.decode("latin-1")


# ---------------------------------------------------------------- site pages

def _page(title: str, body: str) -> bytes:
    text = ("<!DOCTYPE html>\n<html><head>"
            '<meta http-equiv="Content-Type" content="text/html; charset=gbk">'
            f"<title>{html.escape(title)}</title>"
            "<style>body{margin:0;font:12px SimSun,sans-serif;background:#10243c;color:#e8eef6}"
            "h1{font-size:16px;margin:0;padding:8px 12px;background:#1d4f86}"
            "p{margin:8px 12px}a{color:#9fd0ff}</style>"
            f"</head><body>{body}</body></html>\n")
    return text.encode("gbk")


def site_page(path: str, query: dict) -> Optional[bytes]:
    """The web site's page for a path, or None when there is none."""
    if path in ("/ad", "/ad/"):
        return _page("Kavuno 广告", "<h1>Kavuno 影院</h1><p>新片抢先看，尽在 Kavuno。</p>")
    if path == "/ad/ads.asp":
        return _page("Kavuno 推荐", "<h1>今日推荐</h1><p>在左侧选择影片，双击即可播放。</p>")
    if path == "/ad/cache.asp":
        return _page("Kavuno 缓冲", "<h1>正在连接</h1><p>影片正在缓冲，请稍候……</p>")
    if path == "/film/soft.asp":
        film_id = query.get("id", [""])[0]
        return _page("Kavuno 影片介绍",
                     f"<h1>影片介绍</h1><p>影片编号：<b id=\"film\">{html.escape(film_id)}</b></p>")
    return None


# ---------------------------------------------------------------- HTTP

class _Handler(BaseHTTPRequestHandler):
    server_version = "KavunoDemo/1.0"
    protocol_version = "HTTP/1.0"   # one response per connection: faults stay simple

    def log_message(self, fmt, *args):  # quiet; the service logs its own lines
        pass

    @property
    def service(self) -> "DemoService":
        return self.server.kavuno_service  # type: ignore[attr-defined]

    def do_HEAD(self):
        self._answer(head=True)

    def do_GET(self):
        self._answer(head=False)

    def _answer(self, head: bool):
        svc = self.service
        parsed = urllib.parse.urlsplit(self.path)
        # http.server reads the request line as Latin-1: that gives the bytes back.
        raw_path = urllib.parse.unquote_to_bytes(parsed.path.encode("latin-1"))
        path = decode_path(raw_path)
        fault = svc.fault_for(path)
        status, body, ctype = svc.resolve(path, urllib.parse.parse_qs(parsed.query))
        if fault and fault.status is not None:
            status = fault.status
            body = _page(f"{status}", f"<h1>{status}</h1><p>{html.escape(path)}</p>")
            ctype = "text/html; charset=gbk"
        record = RequestRecord(self.command, self.path, self.client_address[:2],
                               dict(self.headers.items()),
                               0 if (fault and fault.refuse) else status, time.time(), path, raw_path)
        svc.record(record)
        try:
            self._respond(path, fault, status, body, ctype, head)
        finally:
            record.finished = time.time()

    def _respond(self, path: str, fault: Optional[Fault], status: int, body: bytes, ctype: str,
                 head: bool):
        self.service.wait_while_held(path)
        if fault and fault.delay:
            time.sleep(fault.delay)
        if fault and fault.refuse:
            self._reset()
            return
        announced = len(body)
        if fault and fault.short_by:
            body = body[:max(0, len(body) - fault.short_by)]
        self.send_response(status)
        self.send_header("Content-Type", ctype)
        self.send_header("Content-Length", str(announced))
        self.send_header("Cache-Control", "no-cache")
        self.send_header("Connection", "close")
        self.end_headers()
        if head:
            return
        limit = len(body)
        if fault and fault.drop_after is not None:
            limit = min(limit, fault.drop_after)
        if fault and fault.stall_after is not None:
            limit = min(limit, fault.stall_after)
        self._send_body(body[:limit], fault.rate if fault else None)
        if fault and fault.drop_after is not None and fault.drop_after < len(body):
            self._reset()
        elif fault and fault.stall_after is not None:
            self._hold_open()

    def _send_body(self, body: bytes, rate: Optional[int]):
        try:
            if not rate:
                self.wfile.write(body)
                self.wfile.flush()
                return
            step = max(1, rate // 20)       # twenty slices a second
            start = time.monotonic()
            sent = 0
            while sent < len(body):
                self.wfile.write(body[sent:sent + step])
                self.wfile.flush()
                sent += min(step, len(body) - sent)
                wait = start + sent / rate - time.monotonic()
                if wait > 0:
                    time.sleep(wait)
        except (BrokenPipeError, ConnectionResetError):
            pass

    def _hold_open(self):
        # Sends nothing more; returns once the client has closed its end.
        self.connection.settimeout(120)
        try:
            while self.connection.recv(4096):
                pass
        except OSError:
            pass

    def _reset(self):
        # SO_LINGER with a zero timeout makes close() send RST instead of FIN.
        try:
            self.wfile.flush()
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER,
                                       struct.pack("ii", 1, 0))
        except OSError:
            pass
        self.close_connection = True
        try:
            self.connection.close()
        except OSError:
            pass


class _Server(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def handle_error(self, request, client_address):
        # A client that refused our certificate, or went away: not the service's fault.
        if isinstance(sys.exc_info()[1], (ssl.SSLError, ConnectionError, TimeoutError)):
            return
        super().handle_error(request, client_address)


# ---------------------------------------------------------------- the service

class DemoService:
    """The update server, web site and presence server, in one object.

    Use as a context manager, or call start() and stop(). Ports 0 pick free
    ports; read http_port, udp_port and base_url after start().
    """

    def __init__(self, update_dir: Optional[str] = None, http_port: int = 0,
                 udp_port: int = 0, host: str = "127.0.0.1",
                 log: Optional[Callable[[str], None]] = None,
                 faults_file: Optional[str] = None,
                 tls: Optional[tuple[str, str]] = None):
        """`tls` is (certificate, key), PEM files: the server then speaks HTTPS."""
        self.update_dir = os.path.abspath(update_dir) if update_dir else None
        self.host = host
        self._tls = tls
        self._http_port = http_port
        self._udp_port = udp_port
        self._log = log
        self._faults_file = faults_file
        self._faults_mtime = None
        self._file_faults: dict[str, Fault] = {}
        self._faults: dict[str, Fault] = {}
        self._holds: dict[str, threading.Event] = {}
        self._lock = threading.Lock()
        self._requests: list[RequestRecord] = []
        self._datagrams: list[Datagram] = []
        self._markers: set[bytes] = set()  # settle() markers received
        self._datagram_event = threading.Condition(self._lock)
        self._http: Optional[_Server] = None
        self._udp: Optional[socket.socket] = None
        self._threads: list[threading.Thread] = []
        self._stopping = threading.Event()

    # -- life cycle
    def start(self) -> "DemoService":
        self._http = _Server((self.host, self._http_port), _Handler)
        self._http.kavuno_service = self  # type: ignore[attr-defined]
        if self._tls:
            context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            context.load_cert_chain(*self._tls)
            # The handshake runs in each request's thread, so a client that
            # connects and says nothing holds up nobody else.
            self._http.socket = context.wrap_socket(self._http.socket, server_side=True,
                                                    do_handshake_on_connect=False)
        self._udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self._udp.bind((self.host, self._udp_port))
        self._udp.settimeout(0.2)
        for target in (self._http.serve_forever, self._receive_datagrams):
            t = threading.Thread(target=target, daemon=True)
            t.start()
            self._threads.append(t)
        return self

    def stop(self):
        self._stopping.set()
        if self._http:
            self._http.shutdown()
            self._http.server_close()
        for t in self._threads:
            t.join(timeout=2)
        if self._udp:
            self._udp.close()

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    @property
    def http_port(self) -> int:
        return self._http.server_address[1]

    @property
    def udp_port(self) -> int:
        return self._udp.getsockname()[1]

    @property
    def base_url(self) -> str:
        if self._tls:
            return f"https://localhost:{self.http_port}"  # the name the certificate is made out to
        return f"http://{self.host}:{self.http_port}"

    # -- faults
    def set_fault(self, path: str, **fields) -> None:
        """Makes `path` (e.g. "/movie/file/a.dat") misbehave; see Fault."""
        with self._lock:
            self._faults[path] = Fault(**fields)

    def set_file_fault(self, name: str, **fields) -> None:
        self.set_fault(FILE_PREFIX + name, **fields)

    def set_manifest_fault(self, **fields) -> None:
        self.set_fault(MANIFEST_PATH, **fields)

    def clear_faults(self) -> None:
        with self._lock:
            self._faults.clear()

    def hold(self, path: str) -> None:
        """Keeps requests for `path` waiting, before any answer, until
        release(path) (or two minutes)."""
        with self._lock:
            self._holds[path] = threading.Event()

    def release(self, path: str) -> None:
        with self._lock:
            event = self._holds.pop(path, None)
        if event:
            event.set()

    def wait_while_held(self, path: str) -> None:
        with self._lock:
            event = self._holds.get(path)
        if event:
            event.wait(120)

    def fault_for(self, path: str) -> Optional[Fault]:
        self._reload_faults_file()
        with self._lock:
            return self._faults.get(path) or self._file_faults.get(path)

    def _reload_faults_file(self):
        if not self._faults_file:
            return
        try:
            mtime = os.stat(self._faults_file).st_mtime_ns
        except FileNotFoundError:
            mtime = None
        if mtime == self._faults_mtime:
            return
        faults = {}
        if mtime is not None:
            with open(self._faults_file, encoding="utf-8") as f:
                faults = {k: Fault.from_dict(v) for k, v in json.load(f).items()}
        with self._lock:
            self._file_faults = faults
            self._faults_mtime = mtime

    # -- content
    def resolve(self, path: str, query: dict) -> tuple[int, bytes, str]:
        """Status, body and content type for a path, before any fault."""
        if path in (MANIFEST_PATH, LIST_PATH) or path.startswith(FILE_PREFIX):
            data = self._update_file(path[len("/movie/"):])
            if data is None:
                return 404, _page("404", "<h1>404</h1>"), "text/html; charset=gbk"
            ctype = "text/plain" if path in (MANIFEST_PATH, LIST_PATH) else "application/octet-stream"
            return 200, data, ctype
        page = site_page(path, query)
        if page is None:
            return 404, _page("404", "<h1>404</h1>"), "text/html; charset=gbk"
        return 200, page, "text/html; charset=gbk"

    def _update_file(self, relative: str) -> Optional[bytes]:
        if not self.update_dir:
            return None
        # Names arrive unescaped and may hold "\" from a Windows client.
        relative = relative.replace("\\", "/")
        target = os.path.realpath(os.path.join(self.update_dir, relative))
        if os.path.commonpath([target, os.path.realpath(self.update_dir)]) != \
                os.path.realpath(self.update_dir) or not os.path.isfile(target):
            return None
        with open(target, "rb") as f:
            return f.read()

    # -- what happened
    def record(self, req: RequestRecord) -> None:
        with self._lock:
            self._requests.append(req)
        self._emit(f"http {req.client[0]}:{req.client[1]} {req.method} {req.path} {req.status}")

    def requests(self, path_prefix: str = "") -> list[RequestRecord]:
        with self._lock:
            return [r for r in self._requests if r.path.startswith(path_prefix)]

    def datagrams(self) -> list[Datagram]:
        with self._lock:
            return list(self._datagrams)

    def wait_for_datagrams(self, count: int, timeout: float = 10.0) -> list[Datagram]:
        """Waits until at least `count` datagrams arrived (or the time ran out)."""
        deadline = time.monotonic() + timeout
        with self._datagram_event:
            while len(self._datagrams) < count:
                left = deadline - time.monotonic()
                if left <= 0:
                    break
                self._datagram_event.wait(left)
            return list(self._datagrams)

    def settle(self, timeout: float = 10.0) -> bool:
        """Waits until every datagram sent to the service before this call has
        been received: a marker sent now arrives after them on loopback. The
        marker is not among datagrams()."""
        marker = b"\0settle " + os.urandom(8).hex().encode()
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
            s.sendto(marker, ("127.0.0.1", self.udp_port))
        deadline = time.monotonic() + timeout
        with self._datagram_event:
            while marker not in self._markers:
                left = deadline - time.monotonic()
                if left <= 0:
                    return False
                self._datagram_event.wait(left)
        return True

    def _receive_datagrams(self):
        while not self._stopping.is_set():
            try:
                payload, (host, port) = self._udp.recvfrom(65536)
            except socket.timeout:
                continue
            except OSError:
                return
            if payload.startswith(b"\0settle "):
                with self._datagram_event:
                    self._markers.add(payload)
                    self._datagram_event.notify_all()
                continue
            d = Datagram(host, port, payload, time.time())
            with self._datagram_event:
                self._datagrams.append(d)
                self._datagram_event.notify_all()
            self._emit(f"udp {host}:{port} {payload!r}")

    def _emit(self, line: str):
        if self._log:
            self._log(line)


def main(argv=None) -> int:
    ap = argparse.ArgumentParser(description="Kavuno demo service")
    ap.add_argument("--host", default="127.0.0.1")
    ap.add_argument("--http-port", type=int, default=8780)
    ap.add_argument("--udp-port", type=int, default=7891)
    ap.add_argument("--update-dir", help="folder holding update.txt, update.sig and file/<name> "
                                         "(the movie folder that kavuno-release publish writes)")
    ap.add_argument("--tls-cert", help="serve HTTPS with this PEM certificate (needs --tls-key)")
    ap.add_argument("--tls-key", help="the certificate's PEM private key")
    ap.add_argument("--log", help="append the request and datagram log to this file (default stdout)")
    ap.add_argument("--faults", help="JSON file: path -> fault fields, read again when it changes")
    args = ap.parse_args(argv)

    log_file = open(args.log, "a", encoding="utf-8", buffering=1) if args.log else None

    def log(line: str):
        stamped = time.strftime("%H:%M:%S ") + line
        if log_file:
            log_file.write(stamped + "\n")
        else:
            print(stamped, flush=True)

    if bool(args.tls_cert) != bool(args.tls_key):
        ap.error("--tls-cert and --tls-key go together")
    tls = (args.tls_cert, args.tls_key) if args.tls_cert else None
    svc = DemoService(args.update_dir, args.http_port, args.udp_port, args.host, log, args.faults, tls)
    svc.start()
    print(f"ready http={svc.http_port} udp={svc.udp_port}", flush=True)
    try:
        while True:
            time.sleep(3600)
    except KeyboardInterrupt:
        pass
    finally:
        svc.stop()
        if log_file:
            log_file.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
