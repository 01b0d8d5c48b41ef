#!/usr/bin/env python3
"""The Wine half of scripts/demo: runs inside scripts/with-wine, installs the
sample product with the single-file installer through the scenario runner
(tools/scenario) and reports what it did. Settings come from scripts/demo
through KORVEX_DEMO_* variables; exits 0 when the installer did."""

import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tools", "scenario"))

from korvex_scenario.case import (HKCU_PRODUCT_KEY, HKLM_PRODUCT_KEY, NEWER_CLIENT_PROCESS,  # noqa: E402
                                  PRODUCT_FOLDER, PRODUCT_RUN_LOG, RESOURCE_LANGUAGE_KEY, SAMPLE_KEY,
                                  remove_sample_product)
from korvex_scenario.run import InstallerRun, read_text, wait_until  # noqa: E402
from korvex_scenario.timeline import (FINISH_START_BUTTON, PROGRESS_STATUS_TEXT,  # noqa: E402
                                      SETTINGS_INSTALL_BUTTON)
from korvex_scenario.wine import Wine, windows_path  # noqa: E402

USER_AGENT = '"Fenwyx Web Installer Client"'


def section(title, lines):
    print("== " + title)
    for line in lines or ["none"]:
        print("   " + line)


def click_through(wine, demo):
    """Saves a screenshot of each page and presses Install, then Start Now."""
    def shot(name):
        if wine.driver("screenshot", "--raise", "--png", windows_path(os.path.join(demo, name))) == 0:
            print("   saved build/demo/" + name)

    def wait(control_id, seconds):
        return wine.driver("wait", "--id", str(control_id), "--timeout", str(seconds * 1000)) == 0

    if not wait(SETTINGS_INSTALL_BUTTON, 60):
        print("   the installer window did not appear")
        return
    shot("1-settings.png")
    wine.driver("click", "--id", str(SETTINGS_INSTALL_BUTTON))
    # A local install ends soon after the progress page shows: catch it as it appears.
    if wait(PROGRESS_STATUS_TEXT, 30):
        shot("2-progress.png")
    if wait(FINISH_START_BUTTON, 600):
        shot("3-finish.png")
        wine.driver("click", "--id", str(FINISH_START_BUTTON))


def registry_lines(key):
    result = subprocess.run(["wine", "reg", "query", key, "/s"], stdin=subprocess.DEVNULL, capture_output=True)
    lines = [line for line in result.stdout.decode("utf-8", "replace").replace("\r", "").split("\n") if line]
    return lines if lines and lines[0].startswith("HKEY") else [key + ": none"]


def installed_files(wine):
    root = wine.drive_c(*PRODUCT_FOLDER[3:].split("\\"))
    files = []
    for folder, _, names in os.walk(root):
        for name in names:
            if not name.endswith(".runs.log"):  # the product's own start log is not installed
                relative = os.path.relpath(os.path.join(folder, name), root)
                files.append(PRODUCT_FOLDER + "\\" + relative.replace("/", "\\"))
    return sorted(files)


def requests(demo):
    lines = []
    for line in read_text(os.path.join(demo, "site", "nginx", "access.log")).splitlines():
        if USER_AGENT in line:
            fields = line.split()
            lines.append("%s %s -> %s, %s bytes" % (fields[5].strip('"'), fields[6], fields[8], fields[9]))
    return lines


def hand_over_lines(log):
    """The installer's account of the newer client's signature check."""
    return [line[24:] for line in read_text(log).splitlines()
            if "client is " in line or "Newer client " in line]


def wait_for_newer_client(wine, seconds=900):
    return wait_until(lambda: not any(p["exe"].lower() == NEWER_CLIENT_PROCESS.lower() for p in wine.processes()),
                      seconds, interval=1)


def main():
    demo, interactive = os.environ["KORVEX_DEMO_DIR"], os.environ["KORVEX_DEMO_INTERACTIVE"] == "1"
    wine = Wine(os.environ["KORVEX_DEMO_BIN"])
    if os.environ["KORVEX_DEMO_KEEP_INSTALLED"] != "1":
        remove_sample_product(wine)
    for name in ("1-settings.png", "2-progress.png", "3-finish.png", "prerequisite-runs.log"):
        if os.path.exists(os.path.join(demo, name)):
            os.remove(os.path.join(demo, name))

    log = os.path.join(demo, "install.log")
    for old in [name for name in os.listdir(demo) if name.startswith("install.log")]:
        os.remove(os.path.join(demo, old))
    switches = ["/log", windows_path(log)] + ([] if interactive else ["/s"])
    if os.environ["KORVEX_DEMO_LANGUAGE"]:
        switches += ["/lang", os.environ["KORVEX_DEMO_LANGUAGE"]]
    prerequisite_log = os.path.join(demo, "prerequisite-runs.log")
    env = dict(os.environ, FENWYX_PREREQUISITE_RECORD=windows_path(prerequisite_log))
    # An offer to launch an installed copy is declined, any other box confirmed,
    # so that the run cannot hang on one.
    run = InstallerRun(wine, demo, "run").start(os.path.join(demo, "installer", "KorvexMasterInstaller.exe"),
                                                switches, [("already installed", "No", "", "repeat")], "OK",
                                                env=env, timeout_seconds=900, also_observe=[NEWER_CLIENT_PROCESS])
    if interactive:
        click_through(wine, demo)
    code = run.wait(seconds=960)
    # A verified hand-over ends this run at once; the newer client installs.
    section("Newer client's signature check (from the installer's log)", hand_over_lines(log))
    if not wait_for_newer_client(wine):
        print("   the newer client did not end within 15 minutes")

    section("Message boxes shown", run.boxes().summary())
    section("Requests the installer made", requests(demo))
    installed = installed_files(wine)
    section("Installed files", installed)
    print("== Registry values written")
    for key in (HKLM_PRODUCT_KEY, HKCU_PRODUCT_KEY, RESOURCE_LANGUAGE_KEY, SAMPLE_KEY):
        for line in registry_lines(key):
            print("   " + line)
    section("Prerequisite runs", read_text(prerequisite_log).splitlines())
    section("Product starts", read_text(wine.drive_c(*PRODUCT_RUN_LOG)).splitlines())
    print("== Installer log: " + ("build/demo/install.log (the newer client, handed /n and this run's other "
                                  "switches but not /log, writes none)" if os.path.exists(log) else "none written"))
    # Linux sees only the low 8 bits of a Wine process's code: the driver reports the whole.
    print("== Installer exit code: %s (0: handed over to the verified newer client)" % code)
    return 0 if code == 0 and installed else 1


if __name__ == "__main__":
    sys.exit(main())
