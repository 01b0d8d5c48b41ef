"""One run of the installer under Wine, with the watcher and the probe beside it."""

import os
import shutil
import subprocess
import time

from .site import SOURCE
from .timeline import INSTALLER_PROCESS, MessageBoxes, Timeline
from .wine import windows_path

LANGUAGE_DATA = os.path.join(SOURCE, "demo", "language")
PACKAGE_TOOL = os.path.join(SOURCE, "tools", "package", "package")
PKI_TOOL = os.path.join(SOURCE, "tools", "package", "make-test-pki")


def prepare_installer_folder(folder, installer_exe, product_manifest):
    """The folder a user downloads: the program, config\\manifestPro.xml and
    the language data; the installer adds its work folders beside them."""
    if os.path.exists(folder):
        shutil.rmtree(folder)
    os.makedirs(os.path.join(folder, "config"))
    shutil.copyfile(installer_exe, os.path.join(folder, INSTALLER_PROCESS))
    shutil.copyfile(product_manifest, os.path.join(folder, "config", "manifestPro.xml"))
    shutil.copytree(LANGUAGE_DATA, os.path.join(folder, "language"))
    return os.path.join(folder, INSTALLER_PROCESS)


def package_installer(build, installer_exe, product_manifest, output, signer=None):
    """A single-file installer written by tools/package: the stripped program
    with the manifest and the language data inside it, signed by signer (a
    TestSigner) when given. Returns its path."""
    sign = ["--sign", *signer.files()] if signer else []
    result = subprocess.run([PACKAGE_TOOL, "--build-dir", build, *sign, installer_exe, product_manifest, LANGUAGE_DATA,
                             output], stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
    if result.returncode != 0 or not os.path.isfile(output):
        raise RuntimeError("tools/package failed: " + result.stderr.decode("utf-8", "replace"))
    return output


class TestPki:
    """The throw-away signing keys of tools/package/make-test-pki, made once per build."""

    def __init__(self, folder):
        self.folder = folder
        subprocess.run([PKI_TOOL, folder], check=True, stdin=subprocess.DEVNULL, capture_output=True, timeout=120)

    def signer(self, name):
        return TestSigner(self.folder, name)


class TestSigner:
    def __init__(self, folder, name):
        self.name = name
        self.cert = os.path.join(folder, name + ".crt")
        self.key = os.path.join(folder, name + ".key")
        with open(os.path.join(folder, name + ".keyhash")) as f:
            self.key_hash = f.read().strip()

    def files(self):
        return [self.cert, self.key]

    def sign(self, program, output):
        """A signed copy of program (osslsigncode never overwrites: output goes first)."""
        if os.path.exists(output):
            os.remove(output)
        subprocess.run(["osslsigncode", "sign", "-certs", self.cert, "-key", self.key, "-h", "sha256", "-in", program,
                        "-out", output], check=True, stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
        return output


def wait_until(condition, seconds, interval=0.1):
    """condition()'s first true value, or None when the time is up."""
    deadline = time.monotonic() + seconds
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            return None
        time.sleep(interval)


def read_text(path):
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            return f.read()
    except FileNotFoundError:
        return ""


class InstallerRun:
    """Starts the installer through KorvexUiDriver's "run" (which reports the
    full exit code) with the message-box watcher and the window probe."""

    def __init__(self, wine, work, name):
        self.wine = wine
        self.folder = os.path.join(work, name)
        os.makedirs(self.folder, exist_ok=True)
        self.boxes_log = os.path.join(self.folder, "message-boxes.jsonl")
        self.timeline_log = os.path.join(self.folder, "windows.jsonl")
        self.exit_code_file = os.path.join(self.folder, "exit-code.txt")
        self.start_tick_file = os.path.join(self.folder, "start-tick.txt")
        self.stop_file = os.path.join(self.folder, "harness.stop")
        self.rules_file = os.path.join(self.folder, "message-box-rules.txt")
        for path in (self.boxes_log, self.timeline_log, self.exit_code_file, self.start_tick_file, self.stop_file):
            if os.path.exists(path):
                os.remove(path)
        self.installer = self.watcher = self.probe = None

    def start(self, program, switches=(), box_rules=(), default_answer="OK", env=None, timeout_seconds=150,
              harness=True, also_observe=(), probe_options=()):
        """box_rules: (pattern, answer[, delay ms]) tuples for the watcher. Without
        the harness only the installer starts (a second one would answer the
        first run's boxes too). also_observe: further program names whose
        windows the probe records (a newer client it hands over to).
        probe_options: more options of the probe's "observe" ("--interval", "10")."""
        if harness:
            self.start_harness(box_rules, default_answer, timeout_seconds, also_observe, probe_options)
        self.installer = self.wine.start(self.wine.harness("KorvexUiDriver.exe"), "run", "--exit-code-file",
                                         windows_path(self.exit_code_file), "--start-tick-file",
                                         windows_path(self.start_tick_file), "--timeout",
                                         str(timeout_seconds * 1000), "--", windows_path(program), *switches,
                                         env=env)
        return self

    def start_harness(self, box_rules, default_answer, timeout_seconds, also_observe=(), probe_options=()):
        with open(self.rules_file, "w", encoding="utf-8") as f:
            for rule in box_rules:
                f.write("\t".join(str(field) for field in rule) + "\n")
        self.probe = self.wine.start(self.wine.harness("KorvexScenarioProbe.exe"), "observe",
                                     "--log", windows_path(self.timeline_log), "--stop-file",
                                     windows_path(self.stop_file), "--process", INSTALLER_PROCESS,
                                     *[word for name in also_observe for word in ("--process", name)],
                                     *probe_options, "--timeout", str(timeout_seconds + 60))
        watcher_args = ["--log", windows_path(self.boxes_log), "--rules", windows_path(self.rules_file),
                        "--stop-file", windows_path(self.stop_file), "--timeout", str(timeout_seconds + 60)]
        if default_answer:
            watcher_args += ["--default", default_answer]
        self.watcher = self.wine.start(self.wine.harness("KorvexMsgBoxWatcher.exe"), *watcher_args)
        # The probe empties its log when it is ready: nothing of the run is missed.
        if not wait_until(lambda: os.path.exists(self.timeline_log), 30):
            raise RuntimeError("the window probe did not start")

    def wait(self, seconds=180):
        """The installer's full exit code; "timeout" when the driver had to end it."""
        code = self.exit_code(seconds)
        self.stop_harness()
        return code

    def exit_code(self, seconds=180):
        """The same, the harness still watching (for a client it handed over to)."""
        self.installer.wait(timeout=seconds)
        text = read_text(self.exit_code_file).strip()
        try:
            return int(text)
        except ValueError:
            return text or "no exit code"

    def start_tick(self, seconds=30):
        """GetTickCount() as the program was started (the clock of the records' "tick")."""
        text = wait_until(lambda: read_text(self.start_tick_file).strip(), seconds)
        return int(text.split()[0]) if text else None

    def start_time(self):
        """The local time as the program was started, as a run log writes it."""
        lines = read_text(self.start_tick_file).splitlines()
        return lines[1] if len(lines) > 1 else None

    def running(self):
        return self.installer is not None and self.installer.poll() is None

    def stop_harness(self):
        with open(self.stop_file, "w"):
            pass
        for process in (self.watcher, self.probe):
            if process is not None:
                process.wait(timeout=30)

    def boxes(self):
        return MessageBoxes.load(self.boxes_log)

    def timeline(self):
        return Timeline.load(self.timeline_log)
