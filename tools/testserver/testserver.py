#!/usr/bin/env python3
"""Loopback download server for tests: static files with per-path faults.

Listens on 127.0.0.1 only and exits by itself after its lifetime. See
README.md beside this file for the command line and the rule syntax.
"""

import argparse
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
        self.delay = 0.0
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
            else:
                raise ValueError("unknown rule item: " + item)


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
        rule = self.server.rules.find(path) or Rule("")
        status, body = self.choose_body(path, rule, allowed)
        self.server.log.record({
            "time": time.time(), "method": self.command, "path": path, "query": url.query,
            "headers": [[name, value] for name, value in self.headers.items()],
            "status": status, "secure": isinstance(self.connection, ssl.SSLSocket),
        })
        # Skip a request body, so the connection stays usable.
        length = int(self.headers.get("Content-Length") or 0)
        if length > 0:
            self.rfile.read(length)
        if rule.delay:
            time.sleep(rule.delay)
        try:
            self.send_answer(rule, status, body, send_body)
        except (BrokenPipeError, ConnectionResetError, ssl.SSLError, socket.timeout):
            self.close_connection = True

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

    def send_answer(self, rule, status, body, send_body):
        try:
            size = body_size(body)
            self.send_response(status)
            if rule.location:
                self.send_header("Location", rule.location)
            self.send_header("Content-Type", content_type(self.path))
            if rule.endless:
                self.send_header("Connection", "close")
                self.close_connection = True
            elif rule.no_length or rule.length is not None:
                # The body's end is where the connection ends.
                self.send_header("Connection", "close")
                self.close_connection = True
            if rule.length is not None:
                self.send_header("Content-Length", rule.length)
            elif not rule.no_length and not rule.endless:
                self.send_header("Content-Length", str(size))
            self.end_headers()
            if not send_body:
                self.wfile.flush()
                return
            if rule.endless:
                self.send_endlessly(read_body(body, size) or b"x", rule.endless)
                return
            limit = size
            for cut in (rule.close_after, rule.stall_after):
                if cut is not None:
                    limit = min(limit, cut)
            if rule.trickle:
                self.wfile.flush()
                self.trickle(body, limit, *rule.trickle)
            elif isinstance(body, bytes) or limit < size or size <= SMALL_BODY:
                self.wfile.write(read_body(body, limit))
                self.wfile.flush()
            else:
                self.wfile.flush()
                self.connection.sendfile(body)
            if rule.stall_after is not None:
                self.stall()
            if rule.close_after is not None or rule.stall_after is not None:
                self.close_connection = True
        finally:
            if not isinstance(body, bytes):
                body.close()

    def trickle(self, body, limit, chunk, delay):
        sent = 0
        while sent < limit:
            piece = read_body(body, min(chunk, limit - sent), offset=sent)
            self.wfile.write(piece)
            self.wfile.flush()
            sent += len(piece)
            if sent < limit:
                time.sleep(delay)

    def send_endlessly(self, content, chunk):
        """The body repeated in pieces of chunk bytes, for ever."""
        piece = (content * (chunk // len(content) + 1))[:chunk]
        while True:
            self.wfile.write(piece)

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

    def __init__(self, port, root, rules, log, tls_context):
        super().__init__(("127.0.0.1", port), Handler)
        self.root = os.path.realpath(root)
        self.rules = rules
        self.log = log
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
    if args.log:
        open(args.log, "w").close()  # the record starts with this server
    server = Server(args.port, args.root, rules, RequestLog(args.log), tls_context)
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
