#!/usr/bin/env python3
"""Loopback download server for tests: static files with per-path faults.

Listens on 127.0.0.1 only and exits by itself after its lifetime. See
README.md beside this file for the command line and the rule syntax.
"""

import argparse
import email.utils
import fnmatch
import http.server
import json
import mimetypes
import os
import select
import signal
import socket
import ssl
import sys
import threading
import time
import urllib.parse

SMALL_BODY = 65536  # sent with the headers in one write, so it arrives in one piece


class Rule:
    """How one path is answered. Built from 'status=503,no-length,...'."""

    def __init__(self, spec):
        self.status = 200
        self.location = None
        self.no_length = False
        self.length = None  # header text sent instead of the real size
        self.body = None
        self.trickle = None  # (bytes per chunk, delay in seconds)
        self.close_after = None
        self.stall_after = None
        self.endless = None  # bytes per chunk of a body that never ends
        self.chunked = False
        self.delay = 0.0
        self.retry_after = None
        self.times = None  # the faults apply to this many requests, then the plain file
        self.etag = None  # "strong" or "weak"
        self.last_modified = False
        self.ranges = True
        self.answered = 0
        self.lock = threading.Lock()
        for item in filter(None, (part.strip() for part in spec.split(","))):
            name, _, value = item.partition("=")
            if name == "status":
                self.status = int(value)
            elif name == "redirect":
                self.status, self.location = 302, value
            elif name == "no-length":
                self.no_length = True
            elif name == "length":
                self.length = value
            elif name == "body":
                self.body = value.encode()
            elif name == "trickle":
                size, _, delay_ms = value.partition(":")
                self.trickle = (max(1, int(size)), int(delay_ms or 0) / 1000.0)
            elif name == "close-after":
                self.close_after = int(value)
            elif name == "stall-after":
                self.stall_after = int(value)
            elif name == "endless":
                self.endless = max(1, int(value))
            elif name == "delay":
                self.delay = int(value) / 1000.0
            elif name == "chunked":
                self.chunked = True
            elif name == "retry-after":
                self.retry_after = value
            elif name == "times":
                self.times = int(value)
            elif name == "etag":
                if value not in ("", "weak"):
                    raise ValueError("etag takes nothing or weak: " + item)
                self.etag = value or "strong"
            elif name == "last-modified":
                self.last_modified = True
            elif name == "no-ranges":
                self.ranges = False
            else:
                raise ValueError("unknown rule item: " + item)

    def is_fault(self):
        """True when the answer is not the whole plain file (a client may ask again)."""
        return (self.status != 200 or self.close_after is not None or self.stall_after is not None
                or self.endless is not None or self.length is not None)

    def for_next_request(self):
        """This rule, or once its times are used up, the plain answer with the same validators."""
        with self.lock:
            self.answered += 1
            if self.times is None or self.answered <= self.times:
                return self
        plain = Rule("")
        plain.etag, plain.last_modified, plain.ranges = self.etag, self.last_modified, self.ranges
        return plain


def parse_rule_line(line):
    path, sep, spec = line.partition("=")
    if not sep or not path.startswith("/"):
        raise ValueError("a rule reads PATH=ITEMS: " + line)
    return path, Rule(spec)


class RuleBook:
    """Rules from the command line, then from a file re-read when it changes."""

    def __init__(self, fixed, rules_file):
        self.fixed = fixed
        self.rules_file = rules_file
        self.loaded = []
        self.stamp = None
        self.lock = threading.Lock()

    def _reload(self):
        if not self.rules_file:
            return
        try:
            stamp = os.stat(self.rules_file).st_mtime_ns
        except FileNotFoundError:
            self.loaded, self.stamp = [], None
            return
        if stamp == self.stamp:
            return
        with open(self.rules_file, encoding="utf-8") as f:
            lines = [l.strip() for l in f]
        self.loaded = [parse_rule_line(l) for l in lines if l and not l.startswith("#")]
        self.stamp = stamp

    def find(self, path):
        with self.lock:
            self._reload()
            rules = self.fixed + self.loaded
        for pattern, rule in rules:
            if pattern == path:
                return rule
        for pattern, rule in rules:
            if fnmatch.fnmatchcase(path, pattern):
                return rule
        return None


class RequestLog:
    """One JSON line per request, written as soon as its headers are read."""

    def __init__(self, path):
        self.path = path
        self.lock = threading.Lock()

    def record(self, entry):
        if not self.path:
            return
        with self.lock, open(self.path, "a", encoding="utf-8") as f:
            f.write(json.dumps(entry) + "\n")


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def version_string(self):
        return "KorvexTestServer"

    def log_message(self, format, *args):
        pass

    def do_GET(self):
        self.answer(send_body=True)

    def do_HEAD(self):
        self.answer(send_body=False)

    def do_POST(self):
        self.answer(send_body=True, allowed=False)

    def answer(self, send_body, allowed=True):
        url = urllib.parse.urlsplit(self.path)
        path = urllib.parse.unquote(url.path)
        rule = (self.server.rules.find(path) or Rule("")).for_next_request()
        status, body = self.choose_body(path, rule, allowed)
        answer = Answer(status, body, rule)
        if status == 200 and not isinstance(body, bytes):
            self.choose_range(answer)
        self.server.log.record({
            "time": time.time(), "method": self.command, "path": path, "query": url.query,
            "headers": [[name, value] for name, value in self.headers.items()],
            "status": answer.status, "secure": isinstance(self.connection, ssl.SSLSocket),
            "fault": rule.is_fault(),
        })
        # Skip a request body, so the connection stays usable.
        length = int(self.headers.get("Content-Length") or 0)
        if length > 0:
            self.rfile.read(length)
        if rule.delay:
            time.sleep(rule.delay)
        try:
            self.send_answer(answer, send_body)
        except (BrokenPipeError, ConnectionResetError, ssl.SSLError, socket.timeout):
            self.close_connection = True
        finally:
            if not isinstance(body, bytes):
                body.close()
            self.server.sent_log.record({"time": time.time(), "path": path, "status": answer.status,
                                         "offset": answer.offset, "sent": answer.sent})

    def choose_body(self, path, rule, allowed):
        """Returns (status, body) where body is bytes or an open file."""
        if not allowed:
            return 405, b"<html><body>405 Method Not Allowed</body></html>"
        if rule.body is not None:
            return rule.status, rule.body
        local = self.server.local_path(path)
        if local and os.path.isfile(local):
            return rule.status, open(local, "rb")
        if rule.status == 200:
            return 404, b"<html><body>404 Not Found</body></html>"
        return rule.status, b"<html><body>%d</body></html>" % rule.status

    def choose_range(self, answer):
        """A "Range: bytes=N-" or "bytes=N-M" of a served file, unless its If-Range is stale."""
        rule = answer.rule
        wanted = self.headers.get("Range")
        if not wanted or not rule.ranges or rule.endless or rule.chunked:
            return
        condition = self.headers.get("If-Range")
        if condition is not None and condition not in (answer.strong_etag(), answer.last_modified()):
            return
        first, _, last = wanted.partition("=")[2].partition("-")
        if not wanted.startswith("bytes=") or not first.isdigit() or (last and not last.isdigit()):
            return
        first, last = int(first), min(int(last) if last else answer.size - 1, answer.size - 1)
        if first > last:
            answer.status, answer.headers = 416, [("Content-Range", "bytes */%d" % answer.size)]
            answer.body, answer.size = b"", 0
            return
        answer.status, answer.offset, answer.size = 206, first, last - first + 1
        answer.headers = [("Content-Range", "bytes %d-%d/%d" % (first, last, answer.whole))]

    def send_answer(self, answer, send_body):
        rule = answer.rule
        self.send_response(answer.status)
        if rule.location:
            self.send_header("Location", rule.location)
        self.send_header("Content-Type", content_type(self.path))
        for name, value in answer.validators() + answer.headers:
            self.send_header(name, value)
        if rule.retry_after is not None:
            self.send_header("Retry-After", rule.retry_after)
        if rule.endless or rule.no_length or rule.length is not None:
            # The body's end is where the connection ends.
            self.send_header("Connection", "close")
            self.close_connection = True
        if rule.chunked:
            self.send_header("Transfer-Encoding", "chunked")
        elif rule.length is not None:
            self.send_header("Content-Length", rule.length)
        elif not rule.no_length and not rule.endless:
            self.send_header("Content-Length", str(answer.size))
        self.end_headers()
        if not send_body:
            self.wfile.flush()
            return
        if rule.endless:
            self.send_endlessly(answer, read_body(answer.body, answer.size) or b"x", rule.endless)
            return
        limit = answer.size
        for cut in (rule.close_after, rule.stall_after):
            if cut is not None:
                limit = min(limit, cut)
        if rule.chunked:
            self.send_chunked(answer, limit)
        elif rule.trickle:
            self.wfile.flush()
            self.trickle(answer, limit, *rule.trickle)
        elif isinstance(answer.body, bytes) or limit < answer.size or answer.size <= SMALL_BODY:
            self.send_piece(answer, read_body(answer.body, limit, answer.offset))
        else:
            self.wfile.flush()
            answer.sent += self.connection.sendfile(answer.body, answer.offset, limit)
        if rule.stall_after is not None:
            self.stall()
        if rule.close_after is not None or rule.stall_after is not None:
            self.close_connection = True

    def send_piece(self, answer, piece):
        self.wfile.write(piece)
        self.wfile.flush()
        answer.sent += len(piece)

    def trickle(self, answer, limit, chunk, delay):
        sent = 0
        while sent < limit:
            piece = read_body(answer.body, min(chunk, limit - sent), offset=answer.offset + sent)
            self.send_piece(answer, piece)
            sent += len(piece)
            if sent < limit:
                time.sleep(delay)

    def send_chunked(self, answer, limit):
        piece = read_body(answer.body, limit, answer.offset)
        self.wfile.write(b"%x\r\n%s\r\n0\r\n\r\n" % (len(piece), piece) if piece else b"0\r\n\r\n")
        self.wfile.flush()
        answer.sent += len(piece)

    def send_endlessly(self, answer, content, chunk):
        """The body repeated in pieces of chunk bytes, for ever (chunked when the rule says so)."""
        piece = (content * (chunk // len(content) + 1))[:chunk]
        framed = b"%x\r\n%s\r\n" % (len(piece), piece) if answer.rule.chunked else piece
        while True:
            self.wfile.write(framed)
            answer.sent += len(piece)

    def stall(self):
        # Hold the connection open until the client gives up or we end.
        while True:
            readable, _, _ = select.select([self.connection], [], [], 0.5)
            if readable:
                try:
                    if not self.connection.recv(1, socket.MSG_PEEK):
                        return
                except OSError:
                    return
                time.sleep(0.1)


class Answer:
    """What one request gets: status, body, the part of it sent, and the bytes that went out."""

    def __init__(self, status, body, rule):
        self.status, self.body, self.rule = status, body, rule
        self.whole = self.size = body_size(body)
        self.offset = 0
        self.headers = []
        self.sent = 0
        self.stamp = None if isinstance(body, bytes) else os.fstat(body.fileno())

    def strong_etag(self):
        if self.rule.etag != "strong" or self.stamp is None:
            return None
        return '"%x-%x"' % (self.stamp.st_size, self.stamp.st_mtime_ns)

    def last_modified(self):
        if not self.rule.last_modified or self.stamp is None:
            return None
        return email.utils.formatdate(self.stamp.st_mtime, usegmt=True)

    def validators(self):
        found = []
        if self.rule.etag and self.stamp is not None:
            tag = '"%x-%x"' % (self.stamp.st_size, self.stamp.st_mtime_ns)
            found.append(("ETag", tag if self.rule.etag == "strong" else "W/" + tag))
        if self.last_modified():
            found.append(("Last-Modified", self.last_modified()))
        if self.rule.ranges and self.stamp is not None and not self.rule.chunked:
            found.append(("Accept-Ranges", "bytes"))
        return found


def content_type(path):
    guessed, _ = mimetypes.guess_type(urllib.parse.urlsplit(path).path)
    return guessed or "application/octet-stream"


def body_size(body):
    if isinstance(body, bytes):
        return len(body)
    return os.fstat(body.fileno()).st_size


def read_body(body, count, offset=0):
    if isinstance(body, bytes):
        return body[offset:offset + count]
    body.seek(offset)
    return body.read(count)


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, port, root, rules, log, sent_log, tls_context):
        super().__init__(("127.0.0.1", port), Handler)
        self.root = os.path.realpath(root)
        self.rules = rules
        self.log = log
        self.sent_log = sent_log
        self.tls_context = tls_context

    def get_request(self):
        sock, address = super().get_request()
        if self.tls_context:
            sock = self.tls_context.wrap_socket(sock, server_side=True)
        return sock, address

    def local_path(self, path):
        candidate = os.path.realpath(os.path.join(self.root, path.lstrip("/")))
        if candidate != self.root and not candidate.startswith(self.root + os.sep):
            return None
        return candidate


def write_atomically(path, text):
    temporary = path + ".tmp"
    with open(temporary, "w", encoding="utf-8") as f:
        f.write(text)
    os.replace(temporary, path)


def process_state(pid):
    """'R', 'S', ... for a live process, 'Z' for a zombie, None when gone."""
    try:
        with open("/proc/%d/stat" % pid, encoding="utf-8") as f:
            return f.read().rpartition(")")[2].split()[0]
    except (FileNotFoundError, IndexError):
        return None


def is_our_server(pid):
    try:
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            return os.path.basename(__file__).encode() in f.read()
    except FileNotFoundError:
        return False


def stop(pid_file):
    try:
        with open(pid_file, encoding="utf-8") as f:
            pid = int(f.read().strip())
    except (FileNotFoundError, ValueError):
        return 0
    # The server may be gone already (its lifetime ended) and the id reused.
    if is_our_server(pid):
        os.kill(pid, signal.SIGTERM)
        for _ in range(50):
            if process_state(pid) in (None, "Z"):
                break
            time.sleep(0.05)
    os.remove(pid_file)
    return 0


def detach(port_file, lifetime):
    """Forks; the parent returns once the child has written its port."""
    if os.path.exists(port_file):
        os.remove(port_file)
    child = os.fork()
    if child:
        deadline = time.time() + 15
        while time.time() < deadline:
            if os.path.exists(port_file):
                os._exit(0)
            finished, status = os.waitpid(child, os.WNOHANG)
            if finished:
                os._exit(1)
            time.sleep(0.05)
        os._exit(1)
    os.setsid()
    devnull = os.open(os.devnull, os.O_RDWR)
    for fd in (0, 1, 2):
        os.dup2(devnull, fd)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--root", help="folder whose files are served")
    parser.add_argument("--port", type=int, default=0, help="port to listen on; 0 picks a free one")
    parser.add_argument("--port-file", help="file that receives the port once listening")
    parser.add_argument("--lifetime", type=float, default=600, help="seconds after which the server exits")
    parser.add_argument("--rule", action="append", default=[], help="PATH=ITEMS, see README.md")
    parser.add_argument("--rules-file", help="file of PATH=ITEMS lines, re-read when it changes")
    parser.add_argument("--log", help="file that receives one JSON line per request")
    parser.add_argument("--sent-log", help="file that receives one JSON line per answer once it ends")
    parser.add_argument("--tls-cert", help="PEM certificate chain: serve HTTPS")
    parser.add_argument("--tls-key", help="PEM private key of --tls-cert")
    parser.add_argument("--background", action="store_true", help="detach once listening (needs --port-file)")
    parser.add_argument("--pid-file", help="file that receives the server's process id")
    parser.add_argument("--stop", metavar="PID_FILE", help="stop the server of that pid file and exit")
    args = parser.parse_args()

    if args.stop:
        return stop(args.stop)
    if not args.root:
        parser.error("--root is required")
    if args.background and not args.port_file:
        parser.error("--background needs --port-file")
    try:
        rules = RuleBook([parse_rule_line(r) for r in args.rule], args.rules_file)
        rules.find("/")  # a broken rules file fails now, not on the first request
    except (ValueError, OSError) as error:
        parser.error(str(error))
    tls_context = None
    if args.tls_cert:
        tls_context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        tls_context.load_cert_chain(args.tls_cert, args.tls_key)

    if args.background:
        detach(args.port_file, args.lifetime)
    os.makedirs(args.root, exist_ok=True)
    for record in (args.log, args.sent_log):
        if record:
            open(record, "w").close()  # the record starts with this server
    server = Server(args.port, args.root, rules, RequestLog(args.log), RequestLog(args.sent_log), tls_context)
    if args.pid_file:
        write_atomically(args.pid_file, "%d\n" % os.getpid())
    if args.port_file:
        write_atomically(args.port_file, "%d\n" % server.server_address[1])

    signal.signal(signal.SIGTERM, lambda *_: os._exit(0))
    threading.Timer(args.lifetime, lambda: os._exit(0)).start()
    server.serve_forever()
    return 0


if __name__ == "__main__":
    sys.exit(main())
