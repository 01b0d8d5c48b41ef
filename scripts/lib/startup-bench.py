#!/usr/bin/env python3
"""The Wine half of scripts/bench startup (runs inside scripts/with-wine).

Starts a bare Win32 window program (the floor) and the installer five times
each, the installer against the sample site on the loopback test server,
with the scenario runner's probe watching their windows every 10 ms in the
clock the programs were started by. The wizard counts as shown once its
Install button is drawn on the screen (most of its middle row in the accent
colour), not when its window is merely visible. Prints the medians and,
last, validator-to-wizard-gap-ms.

  startup-bench.py WIN64_BUILD_DIR WORK_DIR
"""

import datetime
import os
import statistics
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools", "scenario"))

from korvex_scenario.case import remove_sample_product  # noqa: E402
from korvex_scenario.run import InstallerRun, prepare_installer_folder, wait_until  # noqa: E402
from korvex_scenario.site import TestServer, publish  # noqa: E402
from korvex_scenario.timeline import MAIN_WINDOW_CLASS, SETTINGS_INSTALL_BUTTON, Timeline  # noqa: E402
from korvex_scenario.wine import Wine, windows_path  # noqa: E402

RUNS = 5
FLOOR = "KorvexBareWindow.exe"
FLOOR_CLASS = "KorvexBareWindow"
VALIDATOR_TITLE = "Preparing..."
# Every 10 ms, reading no texts: the probe must not keep the installer waiting.
PROBE = ("--interval", "10", "--texts", "off")
# The Install button's face, as the probe's "bar": drawn, the wizard is shown.
WIZARD_PROBE = PROBE + ("--bar-id", str(SETTINGS_INSTALL_BUTTON), "--bar-colour", "07A5D8")


def first_tick(records, condition):
    return next((r["tick"] for r in records if condition(r)), None)


def installer_figures(timeline, started):
    """Launch to the first window, launch to the wizard, launch to the validator's
    window leaving the screen, and the gap between that and the wizard showing, in ms."""
    records = [r for r in timeline.records if "tick" in r]
    shown = first_tick(records, lambda r: not r.get("gone") and r["visible"])
    wizard = first_tick(records, lambda r: not r.get("gone") and r["class"] == MAIN_WINDOW_CLASS and r["visible"]
                        and Timeline.page_of(r) == "settings" and r["bar_fill"] >= 500)
    validator = {r["hwnd"] for r in records if not r.get("gone") and r["title"] == VALIDATOR_TITLE}
    seen = [r for r in records if r["hwnd"] in validator]
    last_shown = max((i for i, r in enumerate(seen) if not r.get("gone") and r["visible"]), default=None)
    if None in (shown, wizard, last_shown) or last_shown + 1 >= len(seen):
        raise RuntimeError("the probe did not see the validator close and the wizard open")
    closed = seen[last_shown + 1]["tick"]
    return shown - started, wizard - started, closed - started, wizard - closed


def run_floor(wine, work, index):
    run = InstallerRun(wine, work, "floor%d" % index)
    run.start(wine.harness(FLOOR), also_observe=[FLOOR], probe_options=PROBE)
    started = run.start_tick()
    window = wait_until(lambda: first_tick([r for r in run.timeline().states(FLOOR) if "tick" in r],
                                           lambda r: r["visible"]), 30)
    wine.driver("close", "--class", FLOOR_CLASS)
    run.wait(60)
    if window is None or started is None:
        raise RuntimeError("the bare window did not show")
    return window - started


def logged_ms(line_start, text):
    """Milliseconds of a run log line's time stamp after a start time, both as the log writes them."""
    start = datetime.datetime.strptime(line_start, "%Y-%m-%d %H:%M:%S.%f")
    for line in text.splitlines():
        if line[24:].startswith("Client check: "):
            return int((datetime.datetime.strptime(line[:23], "%Y-%m-%d %H:%M:%S.%f") - start).total_seconds() * 1000)
    raise RuntimeError("the run log holds no client check")


def run_installer(wine, work, exe, index):
    run = InstallerRun(wine, work, "installer%d" % index)
    log = os.path.join(work, "installer%d.log" % index)
    run.start(exe, ["/log", windows_path(log)], box_rules=[("cancel the installation", "Yes")], default_answer=None,
              probe_options=WIZARD_PROBE)
    if wine.driver("wait", "--id", str(SETTINGS_INSTALL_BUTTON), "--timeout", "60000") != 0:
        raise RuntimeError("the wizard did not open")
    started = run.start_tick()
    # The probe's next sweeps record the wizard drawn; then the run is cancelled.
    wait_until(lambda: any(r.get("bar_fill", -1) >= 500 for r in Timeline.load(run.timeline_log).main_window_states()),
               10)
    wine.driver("close")
    run.wait(60)
    with open(log, encoding="utf-8") as f:
        check_end = logged_ms(run.start_time(), f.read())
    return installer_figures(run.timeline(), started) + (check_end,)


def median(values):
    return int(statistics.median(values))


def main(build, work):
    wine = Wine(os.path.join(build, "bin"))
    remove_sample_product(wine)
    server = TestServer(os.path.join(work, "site"))
    server.start()
    try:
        manifest = publish(server, os.path.join(build, "demo", "packages"), no_prerequisite=True)
        exe = prepare_installer_folder(os.path.join(work, "installer"), os.path.join(build, "KorvexMasterInstaller.exe"),
                                       manifest)
        floor = [run_floor(wine, work, i) for i in range(RUNS)]
        runs = [run_installer(wine, work, exe, i) for i in range(RUNS)]
    finally:
        server.stop()
    first, wizard, closed, gap, check_end = (median(values) for values in zip(*runs))
    after_check = median([r[1] - r[4] for r in runs])
    print("floor (bare Win32 window) launch-to-window-ms: %d (runs %s)" % (median(floor), floor))
    print("installer launch-to-first-window-ms: %d (runs %s)" % (first, [r[0] for r in runs]))
    print("installer first window over the floor: %.2f" % (first / max(1, median(floor))))
    print("installer launch-to-check-end-ms (the run log's client check): %d" % check_end)
    print("installer launch-to-validator-closed-ms: %d" % closed)
    print("installer launch-to-wizard-ms: %d (runs %s)" % (wizard, [r[1] for r in runs]))
    print("wizard-after-check-end-ms: %d (runs %s)" % (after_check, [r[1] - r[4] for r in runs]))
    print("validator-to-wizard-gap-ms: %d (runs %s)" % (gap, [r[3] for r in runs]))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    main(os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]))
