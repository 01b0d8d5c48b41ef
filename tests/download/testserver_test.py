"""Checks of the test download server that the Windows tests do not reach:
stalls, endless bodies, delays, ranges, faults for a few requests, escaping
the root, the lifetime, and bad rules."""

import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import unittest

SERVER = os.path.join(os.path.dirname(__file__), "..", "..", "tools", "testserver", "testserver.py")


def start(folder, *arguments, lifetime=60):
    port_file = os.path.join(folder, "port")
    process = subprocess.Popen([sys.executable, SERVER, "--root", os.path.join(folder, "root"),
                                "--port-file", port_file, "--log", os.path.join(folder, "log"),
                                "--lifetime", str(lifetime), *arguments])
    deadline = time.time() + 10
    while not os.path.exists(port_file):
        if time.time() > deadline or process.poll() is not None:
            process.kill()
            raise RuntimeError("the server did not start")
        time.sleep(0.02)
    with open(port_file, encoding="utf-8") as f:
        return process, int(f.read())


def exchange(port, path, timeout=5, headers=b""):
    """Sends one GET; returns (seconds until the first byte, bytes until close or timeout)."""
    with socket.create_connection(("127.0.0.1", port), timeout=timeout) as s:
        started = time.time()
        s.sendall(b"GET " + path.encode() + b" HTTP/1.1\r\nHost: test\r\nConnection: close\r\n" + headers + b"\r\n")
        received, first = b"", None
        try:
            while True:
                piece = s.recv(65536)
                if not piece:
                    break
                first = first or time.time() - started
                received += piece
        except socket.timeout:
            pass
        return first, received


class TestServerTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp()
        os.makedirs(os.path.join(self.folder, "root"))
        with open(os.path.join(self.folder, "root", "data.bin"), "wb") as f:
            f.write(b"x" * 5000)
        with open(os.path.join(self.folder, "secret"), "wb") as f:
            f.write(b"outside the root")
        self.process = None

    def tearDown(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
        if self.process:
            self.process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)

    def test_stall_sends_part_then_holds_the_connection(self):
        self.process, port = start(self.folder, "--rule", "/data.bin=stall-after=1000")
        _, received = exchange(port, "/data.bin", timeout=1.5)
        head, _, body = received.partition(b"\r\n\r\n")
        self.assertIn(b"Content-Length: 5000", head)
        self.assertEqual(len(body), 1000)

    def test_endless_body_has_no_length_and_never_ends(self):
        self.process, port = start(self.folder, "--rule", "/data.bin=endless=700")
        with socket.create_connection(("127.0.0.1", port), timeout=5) as s:
            s.sendall(b"GET /data.bin HTTP/1.1\r\nHost: test\r\n\r\n")
            received = b""
            while len(received) < 3 * 1024 * 1024:
                piece = s.recv(65536)
                self.assertTrue(piece, "the body ended")
                received += piece
        head, _, body = received.partition(b"\r\n\r\n")
        self.assertNotIn(b"Content-Length", head)
        self.assertNotIn(b"Transfer-Encoding", head)
        self.assertEqual(body, b"x" * len(body))

    def test_chunked_endless_body_never_ends(self):
        self.process, port = start(self.folder, "--rule", "/data.bin=chunked,endless=700")
        with socket.create_connection(("127.0.0.1", port), timeout=5) as s:
            s.sendall(b"GET /data.bin HTTP/1.1\r\nHost: test\r\n\r\n")
            received = b""
            while len(received) < 1024 * 1024:
                piece = s.recv(65536)
                self.assertTrue(piece, "the body ended")
                received += piece
        head, _, body = received.partition(b"\r\n\r\n")
        self.assertIn(b"Transfer-Encoding: chunked", head)
        self.assertTrue(body.startswith(b"2bc\r\n" + b"x" * 700 + b"\r\n2bc\r\n"))

    def test_ranges_validators_and_faults_for_a_few_requests(self):
        sent_log = os.path.join(self.folder, "sent")
        self.process, port = start(self.folder, "--sent-log", sent_log, "--rule",
                                   "/data.bin=etag,close-after=1000,times=1,retry-after=3")
        _, first = exchange(port, "/data.bin")
        head, _, body = first.partition(b"\r\n\r\n")
        self.assertIn(b"Retry-After: 3", head)
        self.assertEqual(len(body), 1000)
        etag = [line.split(b": ", 1)[1] for line in head.split(b"\r\n") if line.startswith(b"ETag: ")][0]
        _, rest = exchange(port, "/data.bin", headers=b"Range: bytes=1000-\r\nIf-Range: " + etag + b"\r\n")
        head, _, body = rest.partition(b"\r\n\r\n")
        self.assertTrue(head.startswith(b"HTTP/1.1 206"), head)
        self.assertIn(b"Content-Range: bytes 1000-4999/5000", head)
        self.assertEqual(len(body), 4000)
        _, stale = exchange(port, "/data.bin", headers=b'Range: bytes=1000-\r\nIf-Range: "old"\r\n')
        self.assertTrue(stale.startswith(b"HTTP/1.1 200"))
        self.assertTrue(stale.endswith(b"x" * 5000))
        _, beyond = exchange(port, "/data.bin", headers=b"Range: bytes=5000-\r\n")
        self.assertTrue(beyond.startswith(b"HTTP/1.1 416"))
        with open(sent_log, encoding="utf-8") as f:
            self.assertEqual([json.loads(line)["sent"] for line in f], [1000, 4000, 5000, 0])

    def test_delay_holds_the_answer(self):
        self.process, port = start(self.folder, "--rule", "/data.bin=delay=700")
        first, received = exchange(port, "/data.bin")
        self.assertGreaterEqual(first, 0.6)
        self.assertTrue(received.endswith(b"x" * 5000))

    def test_paths_outside_the_root_are_not_served(self):
        self.process, port = start(self.folder)
        for path in ("/../secret", "/%2e%2e/secret", "/root/../../secret"):
            _, received = exchange(port, path)
            self.assertTrue(received.startswith(b"HTTP/1.1 404"), path)
            self.assertNotIn(b"outside the root", received, path)

    def test_exits_when_its_lifetime_ends(self):
        self.process, _ = start(self.folder, lifetime=1)
        self.assertEqual(self.process.wait(timeout=10), 0)

    def test_bad_rules_are_refused_at_start(self):
        for rule in ("/a=status:500", "no-slash=status=500", "/a=bounce", "/a=etag=strongest", "/a=times=x"):
            result = subprocess.run([sys.executable, SERVER, "--root", self.folder, "--rule", rule],
                                    capture_output=True, timeout=10)
            self.assertEqual(result.returncode, 2, rule)


if __name__ == "__main__":
    unittest.main()
