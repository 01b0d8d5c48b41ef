"""Wine seen from Linux: paths, quiet program runs, the registry and processes."""

import glob
import json
import os
import re
import subprocess
import tempfile
import time


def windows_path(path):
    """The Z: drive maps the Linux root, so no Wine process is needed."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


# "    Name    REG_SZ    data" (the data may be absent, a name may hold spaces).
_VALUE_LINE = re.compile(r"^    (.*?)    (REG_[A-Z_0-9]+)(?:    (.*))?$")


def parse_reg_query(text):
    """{name: (type, data)} of the first key that "reg query" printed."""
    values = {}
    seen_key = False
    for line in text.replace("\r", "").split("\n"):
        if line.startswith("HKEY_"):
            if seen_key:
                break
            seen_key = True
            continue
        match = _VALUE_LINE.match(line)
        if seen_key and match:
            name, kind, data = match.groups()
            values[name] = (kind, data or "")
    return values


def reg_dword(value):
    """The number of a ("REG_DWORD", "0x407") pair."""
    kind, data = value
    if kind != "REG_DWORD":
        raise ValueError("not a DWORD: %r" % (value,))
    return int(data, 16)


class Wine:
    """Runs programs in the prefix that scripts/with-wine prepared."""

    def __init__(self, harness_bin):
        for name in ("WINEPREFIX", "DISPLAY"):
            if not os.environ.get(name):
                raise RuntimeError("run inside scripts/with-wine: %s is not set" % name)
        self.prefix = os.environ["WINEPREFIX"]
        self.harness_bin = harness_bin

    def drive_c(self, *parts):
        return os.path.join(self.prefix, "drive_c", *parts)

    def linux_path(self, path):
        """Where a C: path of the prefix lies on Linux."""
        if not path[:3].upper() == "C:\\":
            raise ValueError("not on drive C: " + path)
        return self.drive_c(*path[3:].split("\\"))

    def temp_folders(self):
        """The users' temporary folders (their place moved between Wine versions)."""
        users = self.drive_c("users", "*")
        return glob.glob(os.path.join(users, "Temp")) + glob.glob(os.path.join(users, "AppData", "Local", "Temp"))

    def harness(self, program):
        return os.path.join(self.harness_bin, program)

    def run(self, *args, timeout=120, env=None):
        """Exit status of a Windows program (only its low 8 bits reach Linux)."""
        return subprocess.run(["wine", *args], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=timeout, env=env).returncode

    def start(self, *args, env=None):
        return subprocess.Popen(["wine", *args], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, env=env)

    # ---- registry ----------------------------------------------------------

    def reg_query(self, key):
        """The values of a key, or None when the key does not exist."""
        result = subprocess.run(["wine", "reg", "query", key], stdin=subprocess.DEVNULL, capture_output=True,
                                timeout=60)
        if result.returncode != 0:
            return None
        return parse_reg_query(result.stdout.decode("utf-8", "replace"))

    def reg_delete_key_if_empty(self, key):
        """Removes a key that holds neither values nor subkeys (a parent a scenario created)."""
        if self.reg_query(key) == {} and not self.reg_subkeys(key):
            self.reg_delete_key(key)

    def reg_subkeys(self, key):
        result = subprocess.run(["wine", "reg", "query", key], stdin=subprocess.DEVNULL, capture_output=True,
                                timeout=60)
        if result.returncode != 0:
            return []
        prefix = key.upper().replace("HKLM\\", "HKEY_LOCAL_MACHINE\\").replace("HKCU\\", "HKEY_CURRENT_USER\\") + "\\"
        names = []
        for line in result.stdout.decode("utf-8", "replace").replace("\r", "").split("\n"):
            if line.upper().startswith(prefix):
                names.append(line[len(prefix):])
        return names

    def reg_add(self, key, name, kind, data):
        if self.run("reg", "add", key, "/v", name, "/t", kind, "/d", data, "/f") != 0:
            raise RuntimeError("cannot write %s\\%s" % (key, name))

    def reg_delete_key(self, key):
        self.run("reg", "delete", key, "/f")

    def reg_delete_value(self, key, name):
        self.run("reg", "delete", key, "/v", name, "/f")

    # ---- Windows Installer -------------------------------------------------

    def msi_install(self, package, *properties):
        return self.run("msiexec", "/i", windows_path(package), "/qn", *properties, timeout=180)

    def msi_uninstall(self, product_code):
        return self.run("msiexec", "/x", product_code, "/qn", timeout=180)

    def installed_products(self):
        """Product codes that Wine's msi registered for removal."""
        return {name.upper() for name in
                self.reg_subkeys(r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall")}

    # ---- processes ---------------------------------------------------------

    def processes(self):
        """[{"pid", "parent", "exe"}] of every Windows process in the prefix.
        A listing only reads, so a start of the probe that failed on a loaded
        machine is tried again; the last failure says what Wine printed."""
        with tempfile.TemporaryDirectory(prefix="korvex-probe-") as scratch:
            out = os.path.join(scratch, "processes.jsonl")
            for _ in range(3):
                result = subprocess.run(["wine", self.harness("KorvexScenarioProbe.exe"), "processes", "--out",
                                         windows_path(out)], stdin=subprocess.DEVNULL, capture_output=True,
                                        timeout=120)
                if result.returncode == 0:
                    with open(out, encoding="utf-8") as f:
                        return [json.loads(line) for line in f if line.strip()]
                time.sleep(1)
            raise RuntimeError("the probe cannot list the processes (status %d): %s"
                               % (result.returncode, result.stderr.decode("utf-8", "replace").strip()[-2000:]))

    def kill(self, pid):
        return self.run(self.harness("KorvexScenarioProbe.exe"), "kill", "--pid", str(pid)) == 0

    def keys(self, title, *keys):
        """Types keys into the top-level window of that title through the X server,
        as a keyboard would. Without a window manager a window is given the
        keyboard with windowfocus (windowactivate needs one)."""
        found = subprocess.run(["xdotool", "search", "--name", "^%s$" % re.escape(title)], capture_output=True,
                               timeout=30)
        windows = found.stdout.decode().split()
        if not windows:
            raise RuntimeError("no X window titled %r" % title)
        subprocess.run(["xdotool", "windowfocus", windows[-1]], check=True, timeout=30)
        subprocess.run(["xdotool", "key", "--delay", "150", *keys], check=True, timeout=60)

    def driver(self, *args, timeout=None):
        """KorvexUiDriver's status: 0 done, 1 not found or timed out."""
        wait = 60 + (int(args[args.index("--timeout") + 1]) // 1000 if "--timeout" in args else 0)
        return self.run(self.harness("KorvexUiDriver.exe"), *args, timeout=timeout or wait)
