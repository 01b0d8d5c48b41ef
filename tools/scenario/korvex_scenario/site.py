"""The download side of a scenario: a loopback test server and the site it serves."""

import json
import os
import socket
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.normpath(os.path.join(HERE, "..", "..", ".."))
TESTSERVER = os.path.join(SOURCE, "tools", "testserver", "testserver.py")
sys.path.insert(0, os.path.join(SOURCE, "demo"))
import generate  # noqa: E402  the sample product's manifests and site layout

# Debian's interpreter first: a version-manager shim costs half a second a start.
PYTHON = "/usr/bin/python3" if os.path.exists("/usr/bin/python3") else sys.executable


def closed_port():
    """A loopback port that nothing listens on: connections to it are refused."""
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class TestServer:
    """tools/testserver serving one folder; it ends by itself after its lifetime."""

    def __init__(self, folder, lifetime=300):
        self.folder = folder
        self.root = os.path.join(folder, "www")
        self.rules_file = os.path.join(folder, "rules.txt")
        self.log = os.path.join(folder, "requests.jsonl")
        self.pid_file = os.path.join(folder, "server.pid")
        self.lifetime = lifetime
        self.port = None

    def start(self, rules=()):
        os.makedirs(self.root, exist_ok=True)
        self.set_rules(rules)
        port_file = os.path.join(self.folder, "port")
        subprocess.run([PYTHON, TESTSERVER, "--root", self.root, "--port-file", port_file, "--pid-file", self.pid_file,
                        "--log", self.log, "--lifetime", str(self.lifetime), "--rules-file", self.rules_file,
                        "--background"], check=True, timeout=30)
        with open(port_file) as f:
            self.port = int(f.read().strip())

    @property
    def base_url(self):
        return "http://127.0.0.1:%d" % self.port

    def set_rules(self, rules):
        """PATH=ITEMS lines; the server re-reads the file when it changes."""
        with open(self.rules_file, "w") as f:
            f.write("".join(rule + "\n" for rule in rules))

    def records(self):
        """Every request so far as the server recorded it (path, headers, status, fault, ...), in order."""
        if not os.path.exists(self.log):
            return []
        with open(self.log, encoding="utf-8") as f:
            return [json.loads(line) for line in f if line.strip()]

    def requests(self):
        """(method, path, status) of every request so far, in order."""
        return [(r["method"], r["path"], r["status"]) for r in self.records()]

    def stop(self):
        if os.path.exists(self.pid_file):
            subprocess.run([PYTHON, TESTSERVER, "--stop", self.pid_file], timeout=30)


def publish(server, packages, client=None, **layout):
    """Writes the sample product's site into the server's folder and returns the
    product manifest for the installer folder. layout takes the options of
    "generate.py site" with underscores (main_package="update", ...)."""
    argv = ["site", "--packages", packages, "--out", server.folder, "--base-url", server.base_url,
            "--port", str(server.port)]
    if client:
        argv += ["--client", client]
    for name, value in layout.items():
        option = "--" + name.replace("_", "-")
        if value is True:
            argv.append(option)
        elif isinstance(value, (list, tuple)):
            for item in value:
                argv += [option, str(item)]
        elif value not in (None, False):
            argv += [option, str(value)]
    generate.main(argv)
    return os.path.join(server.folder, "manifestPro.xml")
