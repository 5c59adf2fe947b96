#!/usr/bin/env python3
"""A small short-link conversion service on 127.0.0.1, for running and testing Tavrin.

Every port serves every route:
  GET /dwz.php?longurl=...   store the long address, answer the short link as JSON
                             (longurl http://slow.test/...: after 3 s; http://fail.test/...: 500, no link;
                              http://fault.test/?PARAMS: the reply /script?PARAMS would give)
  GET /CODE                  302 to the stored long address
  GET /_links?code=CODE      the stored long address (UTF-8 bytes), 404 if none
  GET /crl                   the certificate revocation list (DER)
  GET /_requests?tag=TAG     every recorded request whose request line holds TAG
  ANY /script[/...]?...      a reply shaped by the query (see script_reply)
The plain HTTP port and the proxy-auth port are also forward proxies that only
reach loopback. Standard library only; stops by itself after --time-limit.
"""

import argparse
import array
import base64
import fcntl
import os
import secrets
import socket
import sqlite3
import ssl
import string
import struct
import sys
import termios
import threading
import time
import urllib.parse
from http import HTTPStatus

LOOPBACK = "127.0.0.1"
LOOPBACK_NAMES = {b"127.0.0.1", b"localhost"}
PROXY_USER = b"proxyuser"
PROXY_PASSWORD = b"proxypass"
CODE_ALPHABET = string.ascii_letters + string.digits
MAX_HEAD = 1 << 20
BLOCK = 1 << 16
# /dwz.php for a long address starting with SLOW_ADDRESS answers after
# SLOW_SECONDS; for one starting with FAILING_ADDRESS it answers 500 without a link.
SLOW_ADDRESS = b"http://slow.test/"
SLOW_SECONDS = 3
FAILING_ADDRESS = b"http://fail.test/"
# /dwz.php for a long address starting with FAULT_ADDRESS gives the scripted
# reply that the rest of the address describes, as /script?REST would.
FAULT_ADDRESS = b"http://fault.test/?"


class ClientGone(Exception):
    """The peer closed or the request could not be read; drop the connection."""


class Request:
    def __init__(self, raw, method, target, version, headers, body):
        self.raw = raw            # exactly the bytes received
        self.method = method      # bytes
        self.target = target      # bytes, as sent (origin or absolute form)
        self.version = version
        self.headers = headers    # [(name bytes, value bytes)] in order
        self.body = body
        self.path = b"/"
        self.query = b""

    def header(self, name):
        name = name.lower()
        for key, value in self.headers:
            if key.lower() == name:
                return value
        return None


class Service:
    def __init__(self, args):
        self.args = args
        self.deadline = time.monotonic() + args.time_limit
        self.record_lock = threading.Lock()
        self.records = []         # (request line, raw bytes) in arrival order
        self.db_lock = threading.Lock()
        self.db = sqlite3.connect(args.db, check_same_thread=False)
        self.db.execute("CREATE TABLE IF NOT EXISTS links (code TEXT PRIMARY KEY, url BLOB NOT NULL)")
        self.db.commit()
        self.crl = b""
        if args.crl:
            with open(args.crl, "rb") as f:
                self.crl = f.read()
        self.tls = None
        if args.cert and args.key:
            self.tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            self.tls.load_cert_chain(args.cert, args.key)

    # ---- storage -------------------------------------------------------------

    def store_link(self, url):
        with self.db_lock:
            while True:
                code = "".join(secrets.choice(CODE_ALPHABET) for _ in range(6))
                try:
                    self.db.execute("INSERT INTO links (code, url) VALUES (?, ?)", (code, url))
                    self.db.commit()
                    return code
                except sqlite3.IntegrityError:
                    continue

    def find_link(self, code):
        with self.db_lock:
            row = self.db.execute("SELECT url FROM links WHERE code = ?", (code,)).fetchone()
        return None if row is None else bytes(row[0])

    def record(self, request_line, raw):
        with self.record_lock:
            self.records.append((request_line, raw))

    def recorded(self, tag):
        with self.record_lock:
            return [raw for line, raw in self.records if tag in line]


# ---- reading requests ----------------------------------------------------------

def recv_some(conn):
    try:
        data = conn.recv(BLOCK)
    except (OSError, ssl.SSLError) as e:
        raise ClientGone() from e
    return data


def read_request(conn, buffered):
    """Reads one request; returns (Request, bytes read beyond it). None on a clean close."""
    data = buffered
    while b"\r\n\r\n" not in data:
        if data.startswith(b"\x16\x03"):
            raise ClientGone()  # a TLS handshake on a plain port: fail fast
        if len(data) > MAX_HEAD:
            raise ClientGone()
        chunk = recv_some(conn)
        if not chunk:
            if data:
                raise ClientGone()
            return None, b""
        data += chunk
    head_end = data.index(b"\r\n\r\n") + 4
    head, rest = data[:head_end], data[head_end:]
    lines = head[:-4].split(b"\r\n")
    parts = lines[0].split(b" ")
    if len(parts) < 3:
        raise ClientGone()
    # A target with raw spaces in it is still taken as one target.
    method, target, version = parts[0], b" ".join(parts[1:-1]), parts[-1]
    headers = []
    for line in lines[1:]:
        name, _, value = line.partition(b":")
        headers.append((name.strip(), value.strip()))
    request = Request(b"", method, target, version, headers, b"")

    body = b""
    if (request.header(b"transfer-encoding") or b"").lower() == b"chunked":
        # Keep the chunked body as it came, for the record; decode it for use.
        raw_body, rest, body = read_chunked(conn, rest)
        request.raw = head + raw_body
    else:
        length = request.header(b"content-length")
        try:
            length = int(length) if length is not None else 0
        except ValueError:
            raise ClientGone()
        while len(rest) < length:
            chunk = recv_some(conn)
            if not chunk:
                raise ClientGone()
            rest += chunk
        body, rest = rest[:length], rest[length:]
        request.raw = head + body
    request.body = body
    return request, rest


def read_chunked(conn, data):
    pos = 0
    body = b""

    def need(end):
        nonlocal data
        while len(data) < end:
            chunk = recv_some(conn)
            if not chunk:
                raise ClientGone()
            data += chunk

    while True:
        while b"\r\n" not in data[pos:]:
            need(len(data) + 1)
        line_end = data.index(b"\r\n", pos)
        try:
            size = int(data[pos:line_end].split(b";")[0], 16)
        except ValueError:
            raise ClientGone()
        pos = line_end + 2
        if size == 0:
            # Trailers end with an empty line.
            while True:
                while b"\r\n" not in data[pos:]:
                    need(len(data) + 1)
                line_end = data.index(b"\r\n", pos)
                empty = line_end == pos
                pos = line_end + 2
                if empty:
                    return data[:pos], data[pos:], body
        need(pos + size + 2)
        body += data[pos:pos + size]
        pos += size + 2


# ---- replies -------------------------------------------------------------------

def reason_for(status):
    try:
        return HTTPStatus(status).phrase.encode()
    except ValueError:
        return b"Unknown"


def simple_reply(status, body=b"", headers=(), content_type=b"text/plain; charset=utf-8"):
    head = [b"HTTP/1.1 %d %s" % (status, reason_for(status))]
    if content_type:
        head.append(b"Content-Type: " + content_type)
    head.extend(headers)
    head.append(b"Content-Length: %d" % len(body))
    head.append(b"Connection: close")
    return b"\r\n".join(head) + b"\r\n\r\n", body


def escape_location(url):
    # Raw bytes could split the header (CR, LF) or confuse clients (spaces, non-ASCII).
    return urllib.parse.quote_from_bytes(url, safe=bytes(range(0x21, 0x7f))).encode()


def query_pairs(query):
    """Query parameters, percent-decoded to bytes, in order ("+" stays "+")."""
    pairs = []
    for item in query.split(b"&"):
        if not item:
            continue
        name, _, value = item.partition(b"=")
        pairs.append((urllib.parse.unquote_to_bytes(name), urllib.parse.unquote_to_bytes(value)))
    return pairs


def first(pairs, name, default=None):
    for key, value in pairs:
        if key == name:
            return value
    return default


def number(value, default, kind=int):
    if value is None:
        return default
    try:
        return kind(value.decode("ascii"))
    except (UnicodeDecodeError, ValueError):
        return default


class Exchange:
    """One client connection: reads one request and answers it."""

    def __init__(self, service, conn, port_kind):
        self.service = service
        self.conn = conn
        self.port_kind = port_kind   # "https", "http" or "proxy-auth"
        self.reset = False

    def send(self, data):
        try:
            self.conn.sendall(data)
        except (OSError, ssl.SSLError) as e:
            raise ClientGone() from e

    def run(self):
        try:
            if self.port_kind == "https":
                self.conn.settimeout(30)
                self.conn = self.service.tls.wrap_socket(self.conn, server_side=True)
            self.conn.settimeout(max(1.0, self.service.deadline - time.monotonic()))
            request, rest = read_request(self.conn, b"")
            if request is None:
                return
            self.handle(request, rest)
        except (ClientGone, OSError, ssl.SSLError):
            pass
        finally:
            self.close()

    def close(self):
        try:
            if self.reset:
                # A reset throws away whatever is still queued: let the reply leave first.
                wait_until_sent(self.conn, time.monotonic() + 5)
                self.conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            else:
                try:
                    self.conn.shutdown(socket.SHUT_WR)
                except OSError:
                    pass
                # Drain briefly so that unread request bytes do not turn the close into a reset.
                self.conn.settimeout(0.2)
                give_up = time.monotonic() + 2
                try:
                    while self.conn.recv(BLOCK) and time.monotonic() < give_up:
                        pass
                except (OSError, ssl.SSLError, ValueError):
                    pass
            self.conn.close()
        except OSError:
            pass

    def handle(self, request, rest):
        target = request.target
        # Absolute form: a proxy request, or (https://) what Wine sends inside a tunnel.
        absolute = target.lower().startswith((b"http://", b"https://"))
        is_proxy_request = request.method == b"CONNECT" or absolute
        if request_is_requests_query(target):
            pass  # looking at the record is not itself recorded
        else:
            request_line = request.raw.split(b"\r\n", 1)[0]
            self.service.record(request_line, request.raw)

        if is_proxy_request:
            if self.port_kind == "proxy-auth" and not self.proxy_authorized(request):
                return self.send_reply(request, *simple_reply(
                    407, b"proxy authentication required\n",
                    [b'Proxy-Authenticate: Basic realm="tavrin"']))
            if request.method == b"CONNECT":
                return self.tunnel(request, rest)
            parsed = urllib.parse.urlsplit(target)
            if parsed.hostname not in LOOPBACK_NAMES:
                return self.send_reply(request, *simple_reply(403, b"only loopback is reachable\n"))
            target = (parsed.path or b"/") + (b"?" + parsed.query if parsed.query else b"")

        path, _, query = target.partition(b"?")
        request.path, request.query = path, query
        self.route(request)

    def proxy_authorized(self, request):
        return basic_matches(request.header(b"proxy-authorization"), PROXY_USER + b":" + PROXY_PASSWORD)

    def route(self, request):
        path = request.path
        pairs = query_pairs(request.query)
        service = self.service
        if path == b"/dwz.php":
            return self.convert(request)
        if path == b"/script" or path.startswith(b"/script/"):
            return self.script_reply(request, pairs)
        if path == b"/_requests":
            tag = first(pairs, b"tag", b"")
            body = b"".join(b"REQUEST %d\r\n" % len(raw) + raw for raw in service.recorded(tag))
            return self.send_reply(request, *simple_reply(200, body, content_type=b"application/octet-stream"))
        if path == b"/_links":
            url = service.find_link(first(pairs, b"code", b"").decode("latin-1"))
            if url is None:
                return self.send_reply(request, *simple_reply(404, b"no such code\n"))
            return self.send_reply(request, *simple_reply(200, url))
        if path == b"/crl":
            return self.send_reply(request, *simple_reply(200, service.crl, content_type=b"application/pkix-crl"))
        code = path[1:]
        if code and all(chr(c) in CODE_ALPHABET for c in code):
            url = service.find_link(code.decode("ascii"))
            if url is not None:
                return self.send_reply(request, *simple_reply(
                    302, b"", [b"Location: " + escape_location(url)], content_type=None))
        return self.send_reply(request, *simple_reply(404, b"not found\n"))

    def convert(self, request):
        # Standard form decoding, kept as exact bytes: undecodable input survives.
        query = request.query.decode("latin-1")
        fields = urllib.parse.parse_qs(query, keep_blank_values=True, encoding="utf-8", errors="surrogateescape")
        values = fields.get("longurl", [""])
        url = values[0].encode("utf-8", "surrogateescape")
        # Two made-up hosts let the window tests shape the reply through the
        # address the program sends: a slow answer, and a failure.
        if url.startswith(SLOW_ADDRESS):
            time.sleep(SLOW_SECONDS)
        if url.startswith(FAILING_ADDRESS):
            return self.send_reply(request, *simple_reply(500, b'{"code":1,"msg":"failed"}'))
        # A third lets them give the program any fault a scripted reply can shape.
        if url.startswith(FAULT_ADDRESS):
            return self.script_reply(request, query_pairs(url[len(FAULT_ADDRESS):]))
        if not url:
            body = b'{"code":1,"msg":"longurl is empty"}'
        else:
            code = self.service.store_link(url)
            link_host = self.service.args.link_host.encode().replace(b"/", b"\\/")
            body = b'{"code":0,"url":"https:\\/\\/' + link_host + b"\\/" + code.encode() + b'"}'
        self.send_reply(request, *simple_reply(200, body, content_type=b"application/json"))

    def send_reply(self, request, head, body):
        self.send(head if request.method == b"HEAD" else head + body)

    def tunnel(self, request, rest):
        host, _, port = request.target.rpartition(b":")
        host = host.strip(b"[]")
        try:
            port = int(port)
        except ValueError:
            port = -1
        if host.lower() not in LOOPBACK_NAMES or not 0 < port < 65536:
            return self.send_reply(request, *simple_reply(403, b"only loopback is reachable\n"))
        try:
            upstream = socket.create_connection((LOOPBACK, port), timeout=10)
        except OSError:
            return self.send_reply(request, *simple_reply(502, b"cannot reach the target\n"))
        with upstream:
            upstream.settimeout(None)
            self.send(b"HTTP/1.1 200 Connection established\r\n\r\n")
            if rest:
                upstream.sendall(rest)
            self.conn.settimeout(None)

            def pump(source, sink):
                try:
                    while True:
                        data = source.recv(BLOCK)
                        if not data:
                            break
                        sink.sendall(data)
                except OSError:
                    pass
                try:
                    sink.shutdown(socket.SHUT_WR)
                except OSError:
                    pass

            back = threading.Thread(target=pump, args=(upstream, self.conn), daemon=True)
            back.start()
            pump(self.conn, upstream)
            back.join(max(0.0, self.service.deadline - time.monotonic()))

    # ---- scripted replies ------------------------------------------------------

    def script_reply(self, request, pairs):
        """Answers as the query says: status, reason, headers, body and the ways of ending."""
        status = number(first(pairs, b"status"), 200)
        reason = first(pairs, b"reason")
        if reason is None:
            reason = reason_for(status)
        close = first(pairs, b"close", b"")
        self.reset = first(pairs, b"reset") == b"1"
        delay = number(first(pairs, b"delay"), 0.0, float)
        drip = number(first(pairs, b"drip"), None, float)
        chunked = first(pairs, b"chunked") == b"1"
        body = first(pairs, b"body", b"")
        repeat = max(0, number(first(pairs, b"repeat"), 1))
        total = len(body) * repeat

        auth = first(pairs, b"auth")
        if auth is not None and not basic_matches(request.header(b"authorization"), auth):
            head, unauthorized = simple_reply(401, b"authentication required\n",
                                              [b'WWW-Authenticate: Basic realm="tavrin"'])
            return self.send_reply(request, head, unauthorized)

        if close == b"before":
            return
        if delay > 0:
            time.sleep(min(delay, max(0.0, self.service.deadline - time.monotonic())))

        if first(pairs, b"noreason") == b"1":
            status_line = b"HTTP/1.1 %d" % status
        else:
            status_line = b"HTTP/1.1 %d %s" % (status, reason)
        if close == b"after_status":
            return self.send(status_line + b"\r\n")

        given = [value for key, value in pairs if key == b"header"]
        given_names = {h.partition(b":")[0].strip().lower() for h in given}
        lines = [status_line] + given
        lines += [b"Set-Cookie: c%d=v%d; path=/" % (i, i) for i in range(1, number(first(pairs, b"cookies"), 0) + 1)]
        if drip is None:
            if chunked:
                if b"transfer-encoding" not in given_names:
                    lines.append(b"Transfer-Encoding: chunked")
            elif b"content-length" not in given_names and b"transfer-encoding" not in given_names:
                lines.append(b"Content-Length: %d" % total)
        if b"connection" not in given_names:
            lines.append(b"Connection: close")
        pad_to = number(first(pairs, b"padheaders"), 0)
        head_size = sum(len(line) + 2 for line in lines) + 2
        i = 1
        while head_size < pad_to:
            prefix = b"X-Pad-%d: " % i
            room = pad_to - head_size - len(prefix) - 2
            line = prefix + b"x" * max(1, min(1000, room))
            lines.insert(len(lines) - 1, line)
            head_size += len(line) + 2
            i += 1
        self.send(b"\r\n".join(lines) + b"\r\n\r\n")
        if request.method == b"HEAD":
            return

        if drip is not None:
            return self.drip(body or b"x", max(drip, 0.001))
        if close == b"mid_body":
            # Half the body, then the connection ends (a chunked one without its last chunk).
            return self.stream(body, total // 2, chunked)
        self.stream(body, total, chunked)
        if chunked:
            self.send(b"0\r\n\r\n")

    def stream(self, body, limit, chunked):
        """Sends the first `limit` bytes of body repeated, in blocks."""
        if not body or limit <= 0:
            return
        block = body * max(1, BLOCK // len(body))
        sent = 0
        while sent < limit:
            if time.monotonic() > self.service.deadline:
                raise ClientGone()
            piece = block[:limit - sent]
            self.send(b"%x\r\n" % len(piece) + piece + b"\r\n" if chunked else piece)
            sent += len(piece)

    def drip(self, body, interval):
        i = 0
        while time.monotonic() < self.service.deadline:
            self.send(body[i % len(body):i % len(body) + 1])
            i += 1
            time.sleep(interval)


def wait_until_sent(conn, deadline):
    """Waits until the kernel has no unsent or unacknowledged bytes of conn, or the deadline."""
    queued = array.array("i", [0])
    while time.monotonic() < deadline:
        try:
            fcntl.ioctl(conn.fileno(), termios.TIOCOUTQ, queued)  # SIOCOUTQ on sockets
        except OSError:
            return
        if queued[0] == 0:
            return
        time.sleep(0.01)


def request_is_requests_query(target):
    if target.lower().startswith((b"http://", b"https://")):
        target = b"/" + target.split(b"/", 3)[-1] if target.count(b"/") >= 3 else b"/"
    return target.split(b"?", 1)[0] == b"/_requests"


def basic_matches(header, user_and_password):
    if not header:
        return False
    scheme, _, credentials = header.partition(b" ")
    if scheme.lower() != b"basic":
        return False
    try:
        return base64.b64decode(credentials.strip(), validate=True) == user_and_password
    except ValueError:
        return False


def listen(port):
    sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    sock.bind((LOOPBACK, port))
    sock.listen(128)
    return sock


def serve(service, sock, port_kind):
    while True:
        try:
            conn, _ = sock.accept()
        except OSError:
            return
        # Each reply goes out as written; tests time and cut replies byte by byte.
        conn.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        exchange = Exchange(service, conn, port_kind)
        threading.Thread(target=exchange.run, daemon=True).start()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--https-port", type=int, default=0, help="TLS port (needs --cert and --key)")
    parser.add_argument("--http-port", type=int, default=0, help="plain HTTP port, also a loopback proxy")
    parser.add_argument("--proxy-auth-port", type=int, default=0,
                        help="plain HTTP port whose proxy demands proxyuser:proxypass")
    parser.add_argument("--cert", help="server certificate (PEM)")
    parser.add_argument("--key", help="server private key (PEM)")
    parser.add_argument("--crl", help="revocation list served at /crl (DER)")
    parser.add_argument("--db", default=":memory:", help="SQLite file for the links")
    parser.add_argument("--link-host", default="localhost", help="host (and port) written into short links")
    parser.add_argument("--time-limit", type=float, default=3600.0, help="seconds until the service stops itself")
    args = parser.parse_args()
    if args.https_port and not (args.cert and args.key):
        parser.error("--https-port needs --cert and --key")

    service = Service(args)
    sockets = []
    for port, kind in ((args.https_port, "https"), (args.http_port, "http"), (args.proxy_auth_port, "proxy-auth")):
        if port:
            sockets.append((listen(port), kind, port))
    if not sockets:
        parser.error("give at least one port")
    for sock, kind, _ in sockets:
        threading.Thread(target=serve, args=(service, sock, kind), daemon=True).start()
    print("tavrin service ready: " + ", ".join("%s %d" % (kind, port) for _, kind, port in sockets), flush=True)
    time.sleep(max(0.0, service.deadline - time.monotonic()))
    print("tavrin service: time limit reached, stopping", flush=True)
    sys.stdout.flush()
    os._exit(0)


if __name__ == "__main__":
    main()
