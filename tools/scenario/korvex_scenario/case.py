"""The base of every scenario: a clean machine before, and again after."""

import glob
import os
import shutil
import unittest

from .run import InstallerRun, TestPki, package_installer, prepare_installer_folder, read_text, wait_until
from .site import TestServer, generate, publish
from .timeline import INSTALLER_PROCESS
from .wine import Wine, windows_path

REGISTRY_KEY = generate.REGISTRY_KEY
HKLM_PRODUCT_KEY = "HKLM\\" + REGISTRY_KEY
HKCU_PRODUCT_KEY = "HKCU\\" + REGISTRY_KEY
RESOURCE_LANGUAGE_KEY = r"HKCU\SOFTWARE\Korvex Systems\ResourceLangID"
SAMPLE_KEY = r"HKLM\SOFTWARE\Korvex Systems\Fenwyx Pro Sample"
RUNTIME_SAMPLE_KEY = r"HKLM\SOFTWARE\Korvex Systems\Fenwyx Runtime Sample"
BROWSER_KEY = r"HKCU\Software\Wine\WineBrowser"

PRODUCT_FOLDER = "C:\\Program Files\\Korvex Systems"
PRODUCT_EXE = PRODUCT_FOLDER + "\\" + generate.PRODUCT_EXECUTABLE
# The sample product records its starts beside itself.
PRODUCT_RUN_LOG = ("Program Files", "Korvex Systems", "bin", "Product.exe.runs.log")
SAMPLE_PRODUCT_CODES = (generate.LANGUAGE_PACK_PRODUCT_CODE, generate.PRODUCT_CODE, generate.BROKEN_PRODUCT_CODE,
                        generate.RUNTIME_PRODUCT_CODE,
                        generate.SLOW_RUNTIME_PRODUCT_CODE)
KEYS_TO_REMOVE = (HKLM_PRODUCT_KEY, HKCU_PRODUCT_KEY, RESOURCE_LANGUAGE_KEY, SAMPLE_KEY, RUNTIME_SAMPLE_KEY,
                  r"HKLM\SOFTWARE\Korvex Systems\Fenwyx Pro Broken Sample")
# Parents the installer creates on the way, removed when nothing else lives in them.
PARENT_KEYS = tuple(root + "\\" + path for path in (r"SOFTWARE\Korvex Systems\Fenwyx Professional",
                                                     r"SOFTWARE\Korvex Systems") for root in ("HKLM", "HKCU"))

PRODUCT_WINDOW_CLASS = "FenwyxProSampleWindow"
# A newer client is saved and started under the product's full name.
NEWER_CLIENT_PROCESS = "Fenwyx Pro 18.exe"
NEWER_CLIENT_VERSION = "18.0.0.11"
# Programs a scenario starts, directly or through the installer: none may outlive it.
SCENARIO_PROGRAMS = ("korvexmasterinstaller.exe", "product.exe", NEWER_CLIENT_PROCESS.lower(),
                     "fenwyx_prerequisite.exe", "msiexec.exe", "korvexmsgboxwatcher.exe", "korvexscenarioprobe.exe",
                     "korvexuidriver.exe", "korvexpackage.exe", "winebrowser.exe")


class ScenarioCase(unittest.TestCase):
    build = None  # the win64 build folder, set by the scenarios' main

    def setUp(self):
        self.wine = Wine(os.path.join(self.build, "bin"))
        self.packages = os.path.join(self.build, "demo", "packages")
        self.installer_exe = os.path.join(self.build, "KorvexMasterInstaller.exe")
        self.work = os.path.join(self.build, "e2e", type(self).__name__)
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        self.server = None
        self.runs = []
        self.prerequisite_log = os.path.join(self.work, "prerequisite-runs.log")
        self.browser_log = os.path.join(self.work, "browser.log")
        self.addCleanup(self.leave_no_trace)
        self.remove_sample_product()  # an earlier run may have died half way
        self.route_browser()

    # ---- the world around the installer -----------------------------------

    def serve(self, rules=(), client=None, **layout):
        """Starts the test server with the sample site; returns the product manifest."""
        self.server = TestServer(os.path.join(self.work, "site"))
        self.server.start(rules)
        return publish(self.server, self.packages, client=client, **layout)

    def installer_folder(self, manifest):
        return prepare_installer_folder(os.path.join(self.work, "installer"), self.installer_exe, manifest)

    def single_file_installer(self, manifest, name="single-file", signer=None):
        """The installer alone in a folder, carrying the manifest and the language
        data, signed by signer (a TestSigner of signing_keys()) when given."""
        return package_installer(self.build, self.installer_exe, manifest,
                                 os.path.join(self.work, name, INSTALLER_PROCESS), signer)

    def signing_keys(self):
        """The throw-away signing keys, shared by the scenarios of this build."""
        return TestPki(os.path.join(self.build, "e2e", "test-pki"))

    def serve_single_file_client(self, rules=(), **layout):
        """Serves the site with a single-file installer as the newer client, its
        own manifest naming the client version the server now asks for.
        Returns the product manifest of the older client."""
        self.serve(rules, client_version=NEWER_CLIENT_VERSION, min_client_version=NEWER_CLIENT_VERSION, **layout)
        newer_manifest = os.path.join(self.work, "newer-client-manifestPro.xml")
        shutil.copyfile(os.path.join(self.server.folder, "manifestPro.xml"), newer_manifest)
        client = self.single_file_installer(newer_manifest, "newer-client")
        return publish(self.server, self.packages, client=client, min_client_version=NEWER_CLIENT_VERSION, **layout)

    def route_browser(self):
        """Web pages the installer opens are recorded instead of shown."""
        script = os.path.join(self.work, "browser.sh")
        with open(script, "w") as f:
            f.write("#!/bin/sh\nprintf '%%s\\n' \"$*\" >> '%s'\n" % self.browser_log)
        os.chmod(script, 0o755)
        before = self.wine.reg_query(BROWSER_KEY)
        self.addCleanup(self.restore_browser, before)
        self.wine.reg_add(BROWSER_KEY, "Browsers", "REG_SZ", script)

    def restore_browser(self, before):
        if before is None:
            self.wine.reg_delete_key(BROWSER_KEY)
        elif "Browsers" in before:
            self.wine.reg_add(BROWSER_KEY, "Browsers", *before["Browsers"])
        else:
            self.wine.reg_delete_value(BROWSER_KEY, "Browsers")

    def start_installer(self, program, switches=(), box_rules=(), default_answer="OK", name=None, harness=True,
                        also_observe=(), extra_env=None, timeout_seconds=150):
        env = dict(os.environ, FENWYX_PREREQUISITE_RECORD=windows_path(self.prerequisite_log), **(extra_env or {}))
        run = InstallerRun(self.wine, self.work, name or "run%d" % (len(self.runs) + 1))
        self.runs.append(run)
        return run.start(program, switches, box_rules, default_answer, env=env, harness=harness,
                         also_observe=also_observe, timeout_seconds=timeout_seconds)

    def wait_for_newer_client_to_end(self, seconds=150):
        return wait_until(lambda: not any(p["exe"].lower() == NEWER_CLIENT_PROCESS.lower()
                                          for p in self.wine.processes()), seconds, interval=1)

    def install_sample_directly(self, package=generate.MAIN_PACKAGE):
        """An earlier installation, made with msiexec as a real peer."""
        status = self.wine.msi_install(os.path.join(self.packages, package))
        self.assertEqual(status, 0, "msiexec could not install %s" % package)

    # ---- what a scenario looks at ------------------------------------------

    def product_runs(self):
        """Command lines of the installed product's starts (it records them beside itself)."""
        return [line.split("\t", 1)[-1] for line in read_text(self.product_run_log()).splitlines()]

    def product_run_log(self):
        return self.wine.drive_c(*PRODUCT_RUN_LOG)

    def wait_for_product_start(self, count=1, seconds=20):
        return wait_until(lambda: len(self.product_runs()) >= count, seconds)

    def prerequisite_runs(self):
        return [line.split("\t", 1)[-1] for line in read_text(self.prerequisite_log).splitlines()]

    def pages_opened(self):
        return read_text(self.browser_log).split()

    def registry(self, key):
        return self.wine.reg_query(key)

    def assertRegistryValues(self, key, expected):
        """The key holds exactly these values: {name: (type, data)}."""
        self.assertEqual(self.registry(key) or {}, expected, key)

    def assertExitCode(self, run, expected):
        code = run.wait()
        self.assertEqual(code, expected, self.describe(run))

    def describe(self, run):
        boxes = run.boxes().summary()
        return "pages %s, boxes %s, requests %s" % (run.timeline().pages_shown(), boxes or "none",
                                                    self.server.requests() if self.server else "none")

    def requested(self, path):
        """How many times the server was asked for a path."""
        return sum(1 for _, requested, _ in self.server.requests() if requested == path)

    def assertEachFileRequestedOnce(self):
        """One request per file and installer run; only the server manifest is
        fetched twice a run (the check at start-up, the worker before it downloads).
        A request the server answered with a fault may rightly be asked again."""
        paths = [r["path"] for r in self.server.records() if not r.get("fault")]
        runs = max(1, len(self.runs))
        repeated = {path: paths.count(path) for path in set(paths)
                    if paths.count(path) > (2 if path == "/version.xml" else 1) * runs}
        self.assertEqual(repeated, {}, "files requested more than once")

    # ---- leaving the machine as it was ---------------------------------------

    def leave_no_trace(self):
        for run in self.runs:
            if run.running():
                run.installer.kill()
                run.installer.wait(timeout=30)
            run.stop_harness()
        self.close_product_windows()
        if self.server:
            self.server.stop()
            self.assertEachFileRequestedOnce()
        self.remove_sample_product()
        leftovers = self.end_leftover_processes()
        self.assertEqual(leftovers, [], "Wine processes outlived the scenario (now ended)")

    def close_product_windows(self):
        if any(p["exe"].lower() == "product.exe" for p in self.wine.processes()):
            while self.wine.driver("close", "--class", PRODUCT_WINDOW_CLASS) == 0:
                self.wine.driver("wait-gone", "--class", PRODUCT_WINDOW_CLASS, "--timeout", "5000")

    def end_leftover_processes(self):
        return end_leftover_processes(self.wine)

    def remove_sample_product(self):
        remove_sample_product(self.wine)


def end_leftover_processes(wine):
    """Ends the programs a scenario started that still run; their names."""
    leftovers = [p for p in wine.processes() if p["exe"].lower() in SCENARIO_PROGRAMS]
    for process in leftovers:
        wine.kill(process["pid"])
    return ["%s (%d)" % (p["exe"], p["pid"]) for p in leftovers]


def remove_sample_product(wine):
    """Uninstalls the sample product and removes what the installer left: registry
    values, newer clients in the temporary folders, the product's start log."""
    installed = wine.installed_products()
    for code in SAMPLE_PRODUCT_CODES:
        if code.upper() in installed:
            wine.msi_uninstall(code)
    for key in KEYS_TO_REMOVE:
        wine.reg_delete_key(key)
    for key in PARENT_KEYS:
        wine.reg_delete_key_if_empty(key)
    clients = [path for temp in wine.temp_folders() for path in glob.glob(os.path.join(temp, "KorvexWebInstaller_*"))]
    for path in [wine.drive_c(*PRODUCT_RUN_LOG)] + clients:
        if os.path.isdir(path):
            shutil.rmtree(path, ignore_errors=True)
        elif os.path.exists(path):
            os.remove(path)
    for folder in (os.path.join("Program Files", "Korvex Systems", "bin"), os.path.join("Program Files",
                                                                                        "Korvex Systems")):
        try:
            os.rmdir(wine.drive_c(folder))
        except OSError:
            pass


def main(argv):
    """scenarios.py --build DIR [unittest arguments]"""
    if len(argv) < 3 or argv[1] != "--build":
        raise SystemExit("usage: %s --build WIN64_BUILD_DIR [ScenarioName ...]" % argv[0])
    ScenarioCase.build = os.path.abspath(argv[2])
    unittest.main(argv=[argv[0]] + argv[3:], verbosity=2)

