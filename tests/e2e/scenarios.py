#!/usr/bin/env python3
"""KorvexMasterInstaller.exe end to end, as its users meet it.

Each class is one ctest entry (run inside scripts/with-wine):
  scenarios.py --build WIN64_BUILD_DIR ClassName
The installer downloads the sample product (demo/) from a loopback test
server, under Wine and Xvfb; every scenario uninstalls what it installed,
removes its registry values, stops its server and its Wine processes.
"""

import configparser
import os
import re
import shutil
import socket
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools", "scenario"))

from korvex_scenario.case import (HKCU_PRODUCT_KEY, HKLM_PRODUCT_KEY, NEWER_CLIENT_PROCESS, NEWER_CLIENT_VERSION,  # noqa: E402
                                  PRODUCT_EXE, PRODUCT_FOLDER, RESOURCE_LANGUAGE_KEY, RUNTIME_SAMPLE_KEY, SAMPLE_KEY,
                                  ScenarioCase, main)
from korvex_scenario.run import prepare_installer_folder, read_text, wait_until  # noqa: E402
from korvex_scenario.site import SOURCE, closed_port, generate, publish  # noqa: E402
from korvex_scenario.timeline import (FINISH_START_BUTTON, MAIN_WINDOW_CLASS, PROGRESS_PERCENT_TEXT,  # noqa: E402
                                      PROGRESS_STATUS_TEXT, PROGRESS_TIME_TEXT, SETTINGS_FOLDER_EDIT,
                                      SETTINGS_INSTALL_BUTTON, growing, percent_value)
from korvex_scenario.wine import reg_dword, windows_path  # noqa: E402

SHORT_NAME = "Fenwyx Pro"
FULL_NAME = "Fenwyx Pro 18"
HOME_PAGE = "https://www.fenwyx.example/welcome/"
CANCEL_QUESTION = "Are you sure you want to cancel the installation?"
SERVER_ERROR = ("Unable to contact the download server. Check your Internet connection and try again. "
                "If the issue persists, please contact Customer Care.")
TIME_TEXT = re.compile(r"(\d\d hours )?(\d\d mins )?\d\d secs remaining\.\.\.")
PACKAGES_PATH = "/packages/"
INSTALLED_BY_INSTALLER = {"InstallDir": ("REG_SZ", PRODUCT_FOLDER + "\\bin\\"), "exe": ("REG_SZ", PRODUCT_EXE)}


def german_texts():
    parser = configparser.ConfigParser(interpolation=None)
    parser.optionxform = str
    parser.read(os.path.join(SOURCE, "demo", "language", "1031", "stringPro.ini"), encoding="utf-16")
    return parser["UISTRING"]


def file_size(path):
    try:
        return os.path.getsize(path)
    except OSError:
        return -1


def same_bytes(a, b):
    with open(a, "rb") as first, open(b, "rb") as second:
        return first.read() == second.read()


class Scenario(ScenarioCase):
    """Steps the scenarios share."""

    def served(self, name):
        return os.path.join(self.server.root, "packages", name)

    def installer_path(self, *parts):
        return os.path.join(self.work, "installer", *parts)

    def component_files(self, name):
        """Downloads in the component folder: the tick count, then the file name;
        a program in a folder of its own named by the tick count."""
        folder = self.installer_path("component")
        found = []
        for entry in os.listdir(folder):
            path = os.path.join(folder, entry)
            if re.fullmatch(r"-?\d+" + re.escape(name), entry):
                found.append(path)
            elif re.fullmatch(r"-?\d+(_\d+)?", entry) and os.path.isfile(os.path.join(path, name)):
                found.append(os.path.join(path, name))
        return found

    def wait_for_control(self, run, control_id, seconds):
        status = self.wine.driver("wait", "--id", str(control_id), "--timeout", str(seconds * 1000))
        self.assertEqual(status, 0, "control %d never showed; %s" % (control_id, self.describe(run)))

    def click(self, control_id):
        self.assertEqual(self.wine.driver("click", "--id", str(control_id)), 0, "cannot click %d" % control_id)

    def close_main_window(self):
        """The caption's close button: a WM_CLOSE that the page on show answers."""
        self.assertEqual(self.wine.driver("close"), 0, "the installer window is gone")

    def screenshot(self, name):
        self.wine.driver("screenshot", "--raise", "--png", windows_path(os.path.join(self.work, name)))

    def run_logged(self, exe, name, **kwargs):
        """A silent run with a run log: the run and the log's path."""
        log = os.path.join(self.work, name + ".log")
        return self.start_installer(exe, ["/s", "/log", windows_path(log)], name=name, **kwargs), log

    def assertNothingRegistered(self):
        self.assertNotIn("InstallDir", self.registry(HKLM_PRODUCT_KEY) or {})
        self.assertNotIn("exe", self.registry(HKLM_PRODUCT_KEY) or {})
        self.assertNotIn("InitialLangID", self.registry(HKLM_PRODUCT_KEY + "\\LanguagePacks") or {})
        self.assertNotIn("ApplicationLanguage", self.registry(HKCU_PRODUCT_KEY) or {})
        self.assertFalse(self.registry(RESOURCE_LANGUAGE_KEY))

    def assertNothingInstalled(self):
        self.assertNothingRegistered()
        self.assertNotIn(generate.PRODUCT_CODE, self.wine.installed_products())

    def assertOnlyBox(self, run, text, answer, caption=SHORT_NAME):
        boxes = list(run.boxes())
        self.assertEqual(len(boxes), 1, run.boxes().summary())
        self.assertEqual((boxes[0]["caption"], boxes[0]["text"], boxes[0]["answer"]), (caption, text, answer))
        self.assertEqual(boxes[0]["process"], "KorvexMasterInstaller.exe")
        return boxes[0]


class FirstInstall(Scenario):
    def test_interactive_first_install_through_the_three_pages(self):
        # A slowed main package keeps the progress page on show for a few refreshes.
        manifest = self.serve(rules=["/packages/%s=trickle=8192:100" % generate.MAIN_PACKAGE])
        run = self.start_installer(self.installer_folder(manifest))
        self.wait_for_control(run, SETTINGS_INSTALL_BUTTON, 60)
        self.screenshot("1-settings.png")
        self.click(SETTINGS_INSTALL_BUTTON)
        self.wait_for_control(run, PROGRESS_STATUS_TEXT, 30)
        time.sleep(5)
        self.screenshot("2-progress.png")
        self.wait_for_control(run, FINISH_START_BUTTON, 120)
        self.screenshot("3-finish.png")
        self.click(FINISH_START_BUTTON)
        self.assertExitCode(run, 0)

        timeline = run.timeline()
        self.assertEqual(timeline.pages_shown(), ["settings", "progress", "finish"])
        self.assertLessEqual({"I accept the", "License Terms", "Installation settings", "Installation folder:"},
                             timeline.visible_texts("settings"))
        self.assertEqual(timeline.control_texts(SETTINGS_FOLDER_EDIT, "settings"), [PRODUCT_FOLDER])
        statuses = timeline.control_texts(PROGRESS_STATUS_TEXT, "progress")
        self.assertIn("Downloading, please wait...", statuses)
        percents = [percent_value(t) for t in timeline.control_texts(PROGRESS_PERCENT_TEXT, "progress")]
        self.assertTrue(growing([p for p in percents if p is not None]), percents)
        self.assertTrue(any(p is not None and 0 < p < 100 for p in percents), percents)
        times = timeline.control_texts(PROGRESS_TIME_TEXT, "progress")
        self.assertTrue(any(TIME_TEXT.fullmatch(t) for t in times), times)
        fills = timeline.bar_fills()
        self.assertTrue(growing(fills), "the bar did not grow on the screen: %s" % fills)

        self.assertTrue(self.wait_for_product_start(), "Start Now did not start the product")
        self.assertEqual(self.product_runs(), ['"%s"' % PRODUCT_EXE])
        self.assertEqual(self.pages_opened(), [HOME_PAGE + generate.RELEASE_VERSION])
        self.assertEqual(run.boxes().summary(), [])

        self.assertRegistryValues(HKLM_PRODUCT_KEY, INSTALLED_BY_INSTALLER)
        self.assertNotIn("InitialLangID", self.registry(HKLM_PRODUCT_KEY + "\\LanguagePacks") or {})
        self.assertNotIn("ApplicationLanguage", self.registry(HKCU_PRODUCT_KEY) or {})
        self.assertFalse(self.registry(RESOURCE_LANGUAGE_KEY))
        self.assertRegistryValues(SAMPLE_KEY, {
            "Version": ("REG_SZ", generate.RELEASE_VERSION), "SampleTag": ("REG_SZ", "none"),
            "ShellIntegrationLevel": ("REG_SZ", "All"), "Language": ("REG_SZ", "1033"),
            "InstallFolder": ("REG_SZ", PRODUCT_FOLDER + "\\")})

        prerequisites = self.component_files(generate.PREREQUISITE)
        self.assertEqual(len(prerequisites), 1)
        self.assertEqual(self.prerequisite_runs(), ['"%s" /quiet /norestart' % windows_path(prerequisites[0])])
        self.assertTrue(same_bytes(self.installer_path("msi", generate.MAIN_PACKAGE),
                                   self.served(generate.MAIN_PACKAGE)))
        self.assertEqual(len(self.component_files("version.xml")), 2)  # the validator's, then the worker's
        self.assertEqual(os.listdir(self.installer_path("transform")), [])
        # The validator reads the server manifest, the worker fetches it again, then every file once.
        for path, count in (("/version.xml", 2), (PACKAGES_PATH + generate.MAIN_PACKAGE, 1),
                            (PACKAGES_PATH + generate.PREREQUISITE, 1)):
            self.assertEqual(self.requested(path), count, path)
        self.assertEqual(len(self.server.requests()), 4, self.server.requests())


class SilentInstall(Scenario):
    def run_silently(self, exe, switches, name):
        run = self.start_installer(exe, switches, name=name)
        self.assertExitCode(run, 0)
        timeline = run.timeline()
        self.assertEqual(timeline.any_visible(), [], "a window of the silent run was visible")
        self.assertEqual(len(timeline.main_windows()), 1, "the probe did not see the hidden main window")
        self.assertEqual(run.boxes().summary(), [])
        self.assertRegistryValues(HKLM_PRODUCT_KEY, INSTALLED_BY_INSTALLER)
        self.assertEqual(self.registry(SAMPLE_KEY)["Version"], ("REG_SZ", generate.RELEASE_VERSION))
        self.assertEqual(self.pages_opened(), [], "a silent run opened a web page")

    def test_silent_run_installs_without_a_window_and_l_starts_the_product(self):
        exe = self.installer_folder(self.serve(no_prerequisite=True))
        log = os.path.join(self.work, "install.log")
        self.run_silently(exe, ["/s", "/log", windows_path(log)], "silent")
        time.sleep(2)
        self.assertEqual(self.product_runs(), [], "the product started without /l")
        self.assertRunLogged(log)

        self.remove_sample_product()
        self.run_silently(exe, ["/s", "/l"], "silent-launch")
        self.assertTrue(self.wait_for_product_start(), "/l did not start the product")
        self.assertEqual(self.product_runs(), ['"%s"' % PRODUCT_EXE])


    def assertRunLogged(self, log):
        with open(log, encoding="utf-8") as f:
            lines = f.read().splitlines()
        stamp = r"\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} "
        for line in lines:
            self.assertRegex(line, "^" + stamp)
        text = "\n".join(line[24:] for line in lines)
        expected = [
            r"KorvexMasterInstaller [\d.]+ started: .*/s /log",
            r'Switches: /s on, /n off, /l off, /lang "", /v "", /log ".*install\.log"',
            r'Manifest ".*\\installer\\config\\manifestPro\.xml"',
            r'Manifest values: .*pid "FWXPRO-180-WW"',
            r"Client check: this client may install the release",
            r"Request GET http://127\.0\.0\.1:\d+/version\.xml: status 200, Content-Length \d+, \d+ bytes received, "
            r"\d+ ms, succeeded",
            r"Server manifest verdict: this client may install the release",
            r'Package ".*%s": Windows Installer, properties .*SHELL_INTEGRATION_LEVEL="All"; result 0, '
            r'restart not required, installer log ".*install\.log\.1\.msi\.log"' % re.escape(generate.MAIN_PACKAGE),
            r'Registry HKLM\\.*: InstallDir = ".*"',
            r"Installation ended: phase Finished",
            r"Run ended: exit code 0",
        ]
        for pattern in expected:
            self.assertRegex(text, pattern)
        self.assertTrue(os.path.getsize(log + ".1.msi.log") > 0, "the Windows Installer wrote no log")


class PlantedDlls(Scenario):
    # Named after the installer's imports that are not KnownDLLs, spelled as
    # its import table spells them.
    PLANTED = ("UxTheme", "d2d1", "DWrite", "gdiplus", "msi", "WININET", "comctl32", "bcrypt", "WINTRUST", "CRYPT32",
               "oleacc")

    def test_dlls_planted_beside_the_installer_are_never_loaded(self):
        exe = self.installer_folder(self.serve(no_prerequisite=True))
        folder = os.path.dirname(exe)
        for name in self.PLANTED:
            shutil.copyfile(os.path.join(self.build, "planted-dlls", name + ".dll"), os.path.join(folder, name + ".dll"))
        # Wine prefers its builtin DLLs; native first is the order Windows uses.
        overrides = os.environ.get("WINEDLLOVERRIDES", "") + ";" + ",".join(n.lower() for n in self.PLANTED) + "=n,b"
        run = self.start_installer(exe, ["/s"], extra_env={"WINEDLLOVERRIDES": overrides.lstrip(";")})
        self.assertExitCode(run, 0)
        self.assertEqual(run.boxes().summary(), [])
        self.assertEqual(sorted(f for f in os.listdir(folder) if f.endswith(".loaded")), [])
        self.assertRegistryValues(HKLM_PRODUCT_KEY, INSTALLED_BY_INSTALLER)
        self.assertEqual(self.registry(SAMPLE_KEY)["Version"], ("REG_SZ", generate.RELEASE_VERSION))


class GermanLanguagePack(Scenario):
    def test_lang_1031_plans_downloads_and_installs_the_german_pack(self):
        german = german_texts()
        slow = "/packages/%s=trickle=16384:100" % generate.MAIN_PACKAGE  # a refresh or two while downloading
        exe = self.installer_folder(self.serve(rules=[slow], no_prerequisite=True))
        run = self.start_installer(exe, ["/lang", "1031"])
        self.wait_for_control(run, SETTINGS_INSTALL_BUTTON, 60)
        self.click(SETTINGS_INSTALL_BUTTON)
        self.wait_for_control(run, FINISH_START_BUTTON, 120)
        self.close_main_window()  # closing the finish page ends the run without the product
        self.assertExitCode(run, 0)

        timeline = run.timeline()
        self.assertIn(german["IDS_PREPARING"], timeline.titles())
        self.assertLessEqual({german[key] for key in ("IDS_ACCEPT_LICENSE_TERMS", "IDS_LINK_LICENSE_TERMS",
                                                      "IDS_INSTALL_SETTINGS", "IDS_INSTALL_FOLDER")},
                             timeline.visible_texts("settings"))
        statuses = timeline.control_texts(PROGRESS_STATUS_TEXT, "progress")
        self.assertIn(german["IDS_STATUS_DOWNLOADING"], statuses)
        self.assertNotIn("Downloading, please wait...", statuses)

        pack = generate.LANGUAGE_PACK % 1031
        transform = generate.TRANSFORM % 1031
        self.assertEqual(self.requested(PACKAGES_PATH + pack), 1)
        self.assertEqual(self.requested(PACKAGES_PATH + transform), 1)
        self.assertTrue(same_bytes(self.component_files("language_pack_1031.exe")[0], self.served(pack)))
        self.assertTrue(same_bytes(self.installer_path("transform", "1031.mst"), self.served(transform)))
        self.assertEqual(self.registry(HKLM_PRODUCT_KEY + "\\LanguagePacks\\1031")["Version"],
                         ("REG_SZ", generate.RELEASE_VERSION))
        self.assertTrue(os.path.isfile(self.wine.drive_c("Program Files", "Korvex Systems", "bin", "lang",
                                                         "1031.txt")))
        self.assertEqual(self.registry(SAMPLE_KEY)["Language"], ("REG_SZ", "1031"), "the transform was not applied")

        self.assertRegistryValues(HKLM_PRODUCT_KEY, INSTALLED_BY_INSTALLER)
        self.assertRegistryValues(HKLM_PRODUCT_KEY + "\\LanguagePacks", {"InitialLangID": ("REG_DWORD", hex(1031))})
        self.assertEqual(reg_dword(self.registry(HKCU_PRODUCT_KEY)["ApplicationLanguage"]), 1031)
        self.assertRegistryValues(RESOURCE_LANGUAGE_KEY,
                                  {PRODUCT_FOLDER + "\\bin\\Tessulo2.exe": ("REG_SZ", "1031")})
        self.assertEqual(self.pages_opened(), [HOME_PAGE + generate.RELEASE_VERSION])
        self.assertEqual(self.product_runs(), [])


class InstallerProperties(Scenario):
    def test_v_properties_reach_the_package(self):
        exe = self.installer_folder(self.serve(no_prerequisite=True))
        run = self.start_installer(exe, ["/s", "/v", 'SAMPLE_TAG="tagged by /v"'])
        self.assertExitCode(run, 0)
        sample = self.registry(SAMPLE_KEY)
        self.assertEqual(sample["SampleTag"], ("REG_SZ", "tagged by /v"))
        self.assertEqual(sample["ShellIntegrationLevel"], ("REG_SZ", "All"))
        self.assertRegistryValues(HKLM_PRODUCT_KEY, INSTALLED_BY_INSTALLER)


class UpdateInstalledProduct(Scenario):
    def test_update_opens_on_the_progress_page_and_repairs(self):
        self.install_sample_directly()
        exe = self.installer_folder(self.serve(main_package="update", no_prerequisite=True))
        run = self.start_installer(exe)
        self.wait_for_control(run, FINISH_START_BUTTON, 120)
        self.click(FINISH_START_BUTTON)
        self.assertExitCode(run, 0)

        timeline = run.timeline()
        self.assertEqual(timeline.pages_shown(), ["progress", "finish"])
        progress_titles = {r["title"] for r in timeline.main_window_states()
                           if r["visible"] and timeline.page_of(r) == "progress"}
        self.assertEqual(progress_titles, {FULL_NAME})
        # Only a repair (REINSTALL=ALL) can put the newer package over the same product code.
        self.assertEqual(self.registry(SAMPLE_KEY)["Version"], ("REG_SZ", generate.UPDATE_VERSION))
        self.assertEqual(self.requested(PACKAGES_PATH + generate.UPDATE_PACKAGE), 1)
        self.assertNothingRegistered()
        self.assertTrue(self.wait_for_product_start(), "Start Now did not start the product")
        self.assertEqual(self.pages_opened(), [], "an update opened the home page")
        self.assertEqual(run.boxes().summary(), [])


class AlreadyInstalledAndCurrent(Scenario):
    def test_validator_offers_the_installed_product_and_ends_with_1638(self):
        self.install_sample_directly()
        for name, (kind, data) in INSTALLED_BY_INSTALLER.items():  # as an earlier run recorded it
            self.wine.reg_add(HKLM_PRODUCT_KEY, name, kind, data)
        exe = self.installer_folder(self.serve(no_prerequisite=True))
        run = self.start_installer(exe, box_rules=[("already installed", "Yes")], default_answer=None)
        self.assertExitCode(run, 1638)

        box = self.assertOnlyBox(run, SHORT_NAME + " is already installed. Would you like to launch it?", "Yes")
        self.assertEqual(box["buttons"], ["Yes", "No"])
        self.assertTrue(self.wait_for_product_start(), "Yes did not start the installed product")
        self.assertEqual(self.product_runs(), ['"%s"' % PRODUCT_EXE])
        self.assertEqual(run.timeline().main_windows(), [], "the wizard opened")
        self.assertEqual(self.server.requests(), [("GET", "/version.xml", 200)])


class ClientOutdated(Scenario):
    def test_newer_client_is_fetched_into_temp_and_started_with_n(self):
        # The newer client is a program that records how it was started.
        client = os.path.join(self.build, "bin", "FenwyxPrerequisite.exe")
        exe = self.installer_folder(self.serve(client=client, min_client_version="18.0.0.11", no_prerequisite=True))
        run = self.start_installer(exe)
        self.assertExitCode(run, 0)

        self.assertTrue(wait_until(self.prerequisite_runs, 20), "the new client did not start")
        started = self.prerequisite_runs()
        self.assertEqual(len(started), 1, started)
        # The user's temporary folder, a folder of its own, the product's full name.
        match = re.fullmatch(r'"(C:\\users\\[^\\]+\\(?:AppData\\Local\\)?Temp\\KorvexWebInstaller_-?\d+\\'
                             + re.escape(FULL_NAME) + r'\.exe)" /n', started[0], re.IGNORECASE)
        self.assertTrue(match, started[0])
        self.assertTrue(same_bytes(self.wine.linux_path(match.group(1)), client))
        self.assertEqual(run.timeline().main_windows(), [], "this client opened its wizard")
        self.assertEqual(run.boxes().summary(), [])
        self.assertEqual(self.server.requests(), [("GET", "/version.xml", 200),
                                                  ("GET", "/client/" + generate.CLIENT_NAME, 200)])

    def test_client_that_cannot_start_ends_with_1603(self):
        client = os.path.join(self.work, "not-a-program.exe")
        with open(client, "w") as f:
            f.write("not a program")
        exe = self.installer_folder(self.serve(client=client, min_client_version="18.0.0.11", no_prerequisite=True))
        run = self.start_installer(exe, ["/s"])
        self.assertExitCode(run, 1603)
        self.assertOnlyBox(run, "The updater cannot be launched!", "OK", caption="KorvexMasterInstaller")
        self.assertEqual(run.timeline().main_windows(), [], "this client opened its wizard")

    def test_failed_client_download_proceeds_with_this_client(self):
        unreachable = "http://127.0.0.1:%d/client/%s" % (closed_port(), generate.CLIENT_NAME)
        exe = self.installer_folder(self.serve(min_client_version="18.0.0.11", client_url=unreachable,
                                               no_prerequisite=True))
        run = self.start_installer(exe, box_rules=[("cancel the installation", "Yes")], default_answer=None)
        self.wait_for_control(run, SETTINGS_INSTALL_BUTTON, 60)
        self.close_main_window()
        self.assertExitCode(run, 1602)
        self.assertOnlyBox(run, CANCEL_QUESTION, "Yes")
        self.assertEqual(self.prerequisite_runs(), [])


class SingleFileHandOver(Scenario):
    """The newer client is a real single-file installer: it finds its manifest
    and texts inside itself in the temporary folder it was downloaded to."""

    def test_interactive_hand_over_opens_the_products_wizard(self):
        german = german_texts()
        exe = self.installer_folder(self.serve_single_file_client(no_prerequisite=True))
        run = self.start_installer(exe, ["/lang", "1031"], default_answer="Yes", also_observe=[NEWER_CLIENT_PROCESS])
        self.assertEqual(run.exit_code(), 0, self.describe(run))
        self.assertEqual(run.timeline().main_windows(), [], "this client opened its wizard")

        self.wait_for_control(run, SETTINGS_INSTALL_BUTTON, 60)
        self.assertEqual(self.wine.driver("wait", "--class", MAIN_WINDOW_CLASS, "--title", FULL_NAME, "--timeout",
                                          "5000"), 0, "the wizard is not captioned with the full name")
        self.close_main_window()
        self.assertTrue(self.wait_for_newer_client_to_end(), "the newer client did not end")
        run.stop_harness()
        timeline = run.timeline()
        newer = [r for r in timeline.states(NEWER_CLIENT_PROCESS, MAIN_WINDOW_CLASS) if r["visible"]]
        # The German texts it carries, chosen by the "/lang" this run handed on.
        settings = {c["text"] for r in newer if timeline.page_of(r) == "settings" for c in r["controls"]}
        self.assertLessEqual({german["IDS_INSTALL_SETTINGS"], german["IDS_INSTALL_FOLDER"]}, settings)
        self.assertEqual([(b["process"], b["text"], b["answer"]) for b in run.boxes()],
                         [(NEWER_CLIENT_PROCESS, german["IDS_MESSAGE_CANCELNOTICE"], "Yes")])
        self.assertEqual(self.requested("/client/" + generate.CLIENT_NAME), 1)

    def test_silent_hand_over_installs_with_this_runs_switches(self):
        # This client is a single file too: nothing beside it.
        exe = self.single_file_installer(self.serve_single_file_client(no_prerequisite=True))
        self.assertEqual(os.listdir(os.path.dirname(exe)), [os.path.basename(exe)])
        run = self.start_installer(exe, ["/s", "/v", 'SAMPLE_TAG="handed over"'], also_observe=[NEWER_CLIENT_PROCESS])
        self.assertEqual(run.exit_code(), 0, self.describe(run))
        self.assertTrue(self.wait_for_newer_client_to_end(), "the newer client did not end")
        run.stop_harness()

        timeline = run.timeline()
        self.assertNotEqual(timeline.states(NEWER_CLIENT_PROCESS, MAIN_WINDOW_CLASS), [],
                            "the probe did not see the newer client's hidden main window")
        self.assertEqual(timeline.any_visible() + timeline.any_visible(NEWER_CLIENT_PROCESS), [],
                         "a window of the silent runs was visible")
        self.assertEqual(run.boxes().summary(), [])
        self.assertRegistryValues(HKLM_PRODUCT_KEY, INSTALLED_BY_INSTALLER)
        sample = self.registry(SAMPLE_KEY)
        self.assertEqual(sample["Version"], ("REG_SZ", generate.RELEASE_VERSION))
        self.assertEqual(sample["SampleTag"], ("REG_SZ", "handed over"))
        self.assertTrue(os.path.isfile(self.wine.linux_path(PRODUCT_EXE)))
        self.assertEqual(self.requested("/packages/" + generate.MAIN_PACKAGE), 1)


class ServerUnreachable(Scenario):
    def test_error_box_and_no_wizard(self):
        unreachable = "http://127.0.0.1:%d/version.xml" % closed_port()
        exe = self.installer_folder(self.serve(version_check_url=unreachable))
        run = self.start_installer(exe)
        self.assertExitCode(run, 1603)
        box = self.assertOnlyBox(run, SERVER_ERROR, "OK")
        self.assertEqual(box["buttons"], ["OK"])
        timeline = run.timeline()
        self.assertIn("Preparing...", timeline.titles())
        self.assertEqual(timeline.main_windows(), [], "the wizard opened")
        self.assertEqual(self.server.requests(), [])


class CancelSlowDownload(Scenario):
    def test_cancel_question_holds_the_transfer_no_resumes_yes_cancels(self):
        manifest = self.serve(rules=["/packages/%s=trickle=2048:100" % generate.MAIN_PACKAGE], no_prerequisite=True)
        run = self.start_installer(self.installer_folder(manifest),
                                   box_rules=[("cancel the installation", "No", 4000),
                                              ("cancel the installation", "Yes")], default_answer=None)
        self.wait_for_control(run, SETTINGS_INSTALL_BUTTON, 60)
        self.click(SETTINGS_INSTALL_BUTTON)
        partial = self.installer_path("msi", generate.MAIN_PACKAGE)
        self.assertTrue(wait_until(lambda: file_size(partial) > 20000, 40), "the download did not start")

        self.close_main_window()
        self.assertTrue(wait_until(lambda: len(run.boxes()) == 1, 15), "no cancel question")
        time.sleep(0.5)
        held = []
        for _ in range(12):  # the watcher answers No 4 s after it saw the box
            held.append(file_size(partial))
            time.sleep(0.2)
        self.assertEqual(len(set(held)), 1, "bytes moved while the question was open: %s" % held)
        self.assertTrue(wait_until(lambda: file_size(partial) > held[-1], 15), "No did not resume the download")

        self.close_main_window()
        self.assertExitCode(run, 1602)
        self.assertEqual([(b["text"], b["answer"]) for b in run.boxes()],
                         [(CANCEL_QUESTION, "No"), (CANCEL_QUESTION, "Yes")])
        self.assertLess(file_size(partial), os.path.getsize(self.served(generate.MAIN_PACKAGE)))
        self.assertNothingInstalled()
        self.assertIsNone(self.registry(SAMPLE_KEY), "the product was installed")


class StalledServer(Scenario):
    def test_a_server_that_stops_sending_ends_the_run_with_the_error_box(self):
        # Headers and a little of the body, then silence: the receive time-out ends the transfer.
        manifest = self.serve(rules=["/packages/%s=stall-after=20000" % generate.MAIN_PACKAGE], no_prerequisite=True,
                              download_attempts=1)
        run = self.start_installer(self.installer_folder(manifest), ["/s"])
        self.assertExitCode(run, 1603)
        self.assertOnlyBox(run, SERVER_ERROR, "OK")
        self.assertNothingInstalled()


class CancelStalledDownload(Scenario):
    def test_cancel_confirmed_while_a_read_is_blocked_ends_with_1602(self):
        manifest = self.serve(rules=["/packages/%s=stall-after=20000" % generate.MAIN_PACKAGE], no_prerequisite=True)
        run = self.start_installer(self.installer_folder(manifest), box_rules=[("cancel the installation", "Yes")],
                                   default_answer=None)
        self.wait_for_control(run, SETTINGS_INSTALL_BUTTON, 60)
        self.click(SETTINGS_INSTALL_BUTTON)
        partial = self.installer_path("msi", generate.MAIN_PACKAGE)
        self.assertTrue(wait_until(lambda: file_size(partial) == 20000, 40), "the stall was not reached")
        self.close_main_window()
        self.assertExitCode(run, 1602)
        self.assertOnlyBox(run, CANCEL_QUESTION, "Yes")
        self.assertNothingInstalled()


class EndlessServerManifest(Scenario):
    def test_a_server_manifest_that_never_ends_fails_the_check(self):
        exe = self.installer_folder(self.serve(rules=["/version.xml=endless=4096"], no_prerequisite=True))
        run = self.start_installer(exe)
        self.assertExitCode(run, 1603)
        self.assertOnlyBox(run, SERVER_ERROR, "OK")
        self.assertEqual(run.timeline().main_windows(), [], "the wizard opened")
        self.assertEqual(self.server.requests(), [("GET", "/version.xml", 200)])
        stored = self.component_files("version.xml")
        self.assertEqual(len(stored), 1)
        self.assertLessEqual(file_size(stored[0]), 1024 * 1024, "more than the limit was kept")


class TamperedPackage(Scenario):
    def test_a_package_whose_bytes_differ_from_its_sha256_is_deleted_and_never_installed(self):
        exe = self.installer_folder(self.serve(no_prerequisite=True))
        with open(self.served(generate.MAIN_PACKAGE), "r+b") as package:  # same size, one byte changed
            package.seek(-1, os.SEEK_END)
            last = package.read(1)
            package.seek(-1, os.SEEK_END)
            package.write(bytes([last[0] ^ 0xFF]))
        run = self.start_installer(exe, ["/s"])
        self.assertExitCode(run, 1603)
        self.assertOnlyBox(run, SERVER_ERROR, "OK")
        self.assertEqual(self.requested(PACKAGES_PATH + generate.MAIN_PACKAGE), 1)
        self.assertFalse(os.path.exists(self.installer_path("msi", generate.MAIN_PACKAGE)), "the package stayed")
        self.assertNothingInstalled()
        self.assertIsNone(self.registry(SAMPLE_KEY), "the product was installed")


class FailingMainPackage(Scenario):
    def test_installer_error_box_failed_and_prerequisites_stay(self):
        exe = self.installer_folder(self.serve(main_package="broken", runtime_prerequisite=True))
        run = self.start_installer(exe, ["/s"])
        self.assertExitCode(run, 1603)

        boxes = list(run.boxes())
        self.assertEqual(len(boxes), 1, run.boxes().summary())
        self.assertEqual(boxes[0]["caption"], SHORT_NAME)
        self.assertIn("the sample's custom action failed", boxes[0]["text"])
        self.assertEqual(self.registry(RUNTIME_SAMPLE_KEY)["Version"], ("REG_SZ", generate.RELEASE_VERSION))
        installed = self.wine.installed_products()
        self.assertIn(generate.RUNTIME_PRODUCT_CODE, installed, "the prerequisite package did not stay")
        self.assertNotIn(generate.BROKEN_PRODUCT_CODE, installed)
        runs = self.prerequisite_runs()
        self.assertEqual(len(runs), 1, runs)
        self.assertTrue(runs[0].endswith(generate.PREREQUISITE + '" /quiet /norestart'), runs)
        self.assertNothingRegistered()


class SecondInstance(Scenario):
    def test_second_instance_raises_the_first_window_and_exits_1618(self):
        exe = self.installer_folder(self.serve(no_prerequisite=True))
        first = self.start_installer(exe, box_rules=[("cancel the installation", "Yes")], default_answer=None)
        self.wait_for_control(first, SETTINGS_INSTALL_BUTTON, 60)
        self.assertEqual(self.wine.run(self.wine.harness("KorvexScenarioProbe.exe"), "minimize", "--class",
                                       MAIN_WINDOW_CLASS), 0)
        self.assertTrue(wait_until(lambda: any(r["iconic"] for r in first.timeline().main_window_states()), 10),
                        "the first window did not minimise")

        second = self.start_installer(exe, name="second", harness=False)
        self.assertEqual(second.wait(60), 1618)

        def raised():
            states = first.timeline().main_window_states()
            minimised = next(i for i, r in enumerate(states) if r["iconic"])
            return any(not r["iconic"] and r["foreground"] and r["visible"] for r in states[minimised:])
        self.assertTrue(wait_until(raised, 10), "the first window was not restored to the front")

        self.close_main_window()
        self.assertExitCode(first, 1602)
        timeline = first.timeline()
        self.assertEqual(len(timeline.main_windows()), 1)
        self.assertEqual(len(timeline.processes()), 1, "the second instance showed a window")
        self.assertOnlyBox(first, CANCEL_QUESTION, "Yes")


# ---- prerequisites awaited in folders of their own, updates elsewhere, ';' in the installer's folder ----

SLOW_RUNTIME_SAMPLE_KEY = r"HKLM\SOFTWARE\Korvex Systems\Fenwyx Slow Runtime Sample"


def log_text(path):
    """The run log without its timestamps."""
    with open(path, encoding="utf-8") as f:
        return "\n".join(line[24:] for line in f.read().splitlines())


class UpdateFromAnotherFolder(Scenario):
    def test_update_with_l_starts_the_product_from_the_earlier_installations_folder(self):
        folder = "C:\\Fenwyx Elsewhere"
        shutil.rmtree(self.wine.drive_c("Fenwyx Elsewhere"), True)  # the product's start log of an earlier run
        self.addCleanup(shutil.rmtree, self.wine.drive_c("Fenwyx Elsewhere"), True)
        exe = self.installer_folder(self.serve(no_prerequisite=True))
        self.assertExitCode(self.start_installer(exe, ["/s", "/v", 'INSTALLDIR="%s"' % folder], name="first"), 0)
        executable = folder + "\\" + generate.PRODUCT_EXECUTABLE
        self.assertRegistryValues(HKLM_PRODUCT_KEY, {"InstallDir": ("REG_SZ", folder + "\\bin\\"),
                                                     "exe": ("REG_SZ", executable)})

        exe = self.installer_folder(publish(self.server, self.packages, main_package="update", no_prerequisite=True))
        self.assertExitCode(self.start_installer(exe, ["/s", "/l"], name="update"), 0)
        self.assertEqual(self.registry(SAMPLE_KEY)["Version"], ("REG_SZ", generate.UPDATE_VERSION))
        run_log = self.wine.linux_path(executable + ".runs.log")
        self.assertTrue(wait_until(lambda: read_text(run_log), 20), "/l did not start the product from its folder")
        self.assertEqual([line.split("\t", 1)[-1] for line in read_text(run_log).splitlines()], ['"%s"' % executable])
        self.assertEqual(self.product_runs(), [], "a product was started from the default folder")


class SlowPrerequisitePackage(Scenario):
    def serve_slow(self):
        return self.installer_folder(self.serve(slow_runtime_prerequisite=True, no_prerequisite=True))

    def msiexec_runs(self):
        return any(p["exe"].lower() == "msiexec.exe" for p in self.wine.processes())

    def test_the_main_package_waits_for_a_prerequisite_msiexec_past_30_seconds(self):
        log = os.path.join(self.work, "install.log")
        started = time.monotonic()
        run = self.start_installer(self.serve_slow(), ["/s", "/log", windows_path(log)])
        self.assertExitCode(run, 0)
        self.assertGreater(time.monotonic() - started, 35)
        self.assertEqual(run.boxes().summary(), [])
        self.assertEqual(self.registry(SLOW_RUNTIME_SAMPLE_KEY)["Version"], ("REG_SZ", generate.RELEASE_VERSION))
        self.assertEqual(self.registry(SAMPLE_KEY)["Version"], ("REG_SZ", generate.RELEASE_VERSION))
        self.assertRegistryValues(HKLM_PRODUCT_KEY, INSTALLED_BY_INSTALLER)
        text = log_text(log)
        self.assertRegex(text, r'Package ".*%s": msiexec, command line /i ".*" /qn, working folder '
                               r'"C:\\windows\\system32"; exit code 0' % re.escape(generate.SLOW_RUNTIME_PACKAGE))
        # The main package came after the prerequisite's msiexec had ended.
        self.assertLess(text.index(generate.SLOW_RUNTIME_PACKAGE + '": msiexec'),
                        text.index(generate.MAIN_PACKAGE + '": Windows Installer'))

    def test_the_cancel_ends_the_wait_and_leaves_msiexec_to_finish(self):
        run = self.start_installer(self.serve_slow(), box_rules=[("cancel the installation", "Yes")],
                                   default_answer=None)
        self.wait_for_control(run, SETTINGS_INSTALL_BUTTON, 60)
        self.click(SETTINGS_INSTALL_BUTTON)
        self.assertTrue(wait_until(self.msiexec_runs, 40), "the prerequisite's msiexec did not start")
        self.close_main_window()
        self.assertExitCode(run, 1602)
        self.assertTrue(self.msiexec_runs(), "the run waited for the prerequisite")
        self.assertOnlyBox(run, CANCEL_QUESTION, "Yes")
        self.assertNothingInstalled()
        # Left to finish on its own.
        self.assertTrue(wait_until(lambda: not self.msiexec_runs(), 60, interval=1), "msiexec never ended")
        self.assertEqual(self.registry(SLOW_RUNTIME_SAMPLE_KEY)["Version"], ("REG_SZ", generate.RELEASE_VERSION))


class TransformInSemicolonFolder(Scenario):
    def test_a_transform_beside_an_installer_in_a_folder_with_a_semicolon_applies(self):
        manifest = self.serve(no_prerequisite=True)
        exe = prepare_installer_folder(os.path.join(self.work, "down;loads"), self.installer_exe, manifest)
        log = os.path.join(self.work, "install.log")
        run = self.start_installer(exe, ["/s", "/lang", "1031", "/log", windows_path(log)])
        self.assertExitCode(run, 0)
        self.assertEqual(run.boxes().summary(), [])
        self.assertEqual(self.registry(SAMPLE_KEY)["Language"], ("REG_SZ", "1031"), "the transform was not applied")
        self.assertIn(generate.LANGUAGE_PACK_PRODUCT_CODE, self.wine.installed_products())
        named = re.findall(r'Transform ".*down;loads\\transform\\1031\.mst" holds \';\': named as "([^"]*)"',
                           log_text(log))
        self.assertEqual(len(named), 1, log_text(log))
        self.assertNotIn(";", named[0])


class PlantedVersionDll(Scenario):
    def test_a_version_dll_in_a_pre_made_component_folder_never_loads(self):
        exe = self.installer_folder(self.serve())
        component = self.installer_path("component")
        os.makedirs(component)
        planted = os.path.join(component, "version.dll")
        shutil.copyfile(os.path.join(self.build, "planted-dlls", "version.dll"), planted)
        # Native first, the order Windows uses for a DLL that is not a KnownDLL.
        overrides = (os.environ.get("WINEDLLOVERRIDES", "") + ";version=n,b").lstrip(";")
        run = self.start_installer(exe, ["/s"], extra_env={"WINEDLLOVERRIDES": overrides})
        self.assertExitCode(run, 0)
        self.assertEqual(run.boxes().summary(), [])
        loaded = [os.path.join(d, f) for d, _, files in os.walk(self.installer_path()) for f in files
                  if f.endswith(".loaded")]
        self.assertEqual(loaded, [])
        self.assertTrue(os.path.isfile(planted))
        # The prerequisite ran from a folder this run made for it, alone in it.
        runs = self.prerequisite_runs()
        self.assertEqual(len(runs), 1, runs)
        match = re.fullmatch(r'"(.*\\component\\-?\d+(?:_\d+)?)\\%s" /quiet /norestart'
                             % re.escape(generate.PREREQUISITE), runs[0])
        self.assertTrue(match, runs[0])
        own_folder = os.path.join(component, match.group(1).rsplit("\\", 1)[-1])
        self.assertEqual(os.listdir(own_folder), [generate.PREREQUISITE])
        self.assertRegistryValues(HKLM_PRODUCT_KEY, INSTALLED_BY_INSTALLER)


# ---- the newer client's signature decides whether it starts ---------------

CLIENT_TOO_OLD = 'The version of your client is too old, please click "OK" to download the latest client.'


class VerifiedHandOver(Scenario):
    """The newer client (a program that records its start) is started only when
    signed by a key this client accepts: its own signer's, or a client_signer."""

    def signed_client(self, signer, name):
        return signer.sign(os.path.join(self.build, "bin", "FenwyxPrerequisite.exe"), os.path.join(self.work, name))

    def altered_copy(self, program, name):
        """The signed program with one byte changed in the middle, where the signature covers it."""
        altered = os.path.join(self.work, name)
        shutil.copyfile(program, altered)
        with open(altered, "r+b") as f:
            f.seek(os.path.getsize(altered) // 2)
            byte = f.read(1)
            f.seek(-1, os.SEEK_CUR)
            f.write(bytes([byte[0] ^ 0xFF]))
        return altered

    def serve_client(self, program):
        shutil.copyfile(program, os.path.join(self.server.root, "client", generate.CLIENT_NAME))

    def client_folders(self):
        return [path for temp in self.wine.temp_folders() for path in os.listdir(temp)
                if path.startswith("KorvexWebInstaller_")]

    def run_with_log_text(self, exe, name, expected_code, **kwargs):
        run, log = self.run_logged(exe, name, **kwargs)
        self.assertExitCode(run, expected_code)
        return run, read_text(log)

    def assertRefused(self, exe, name, reason):
        """A silent run whose newer client is refused: it is deleted, never started, and
        this client then meets the client-too-old refusal."""
        folders = self.client_folders()
        run, log = self.run_with_log_text(exe, name, 1603)
        self.assertIn("Newer client refused, deleted and never started: " + reason, log)
        self.assertOnlyBox(run, CLIENT_TOO_OLD, "OK", caption="Windows Installer")
        self.assertEqual(self.client_folders(), folders, "the refused client or its folder stayed")
        return log

    def test_a_client_signed_with_this_clients_key_is_handed_over_and_no_other(self):
        keys = self.signing_keys()
        publisher, other = keys.signer("publisher"), keys.signer("other")
        signed = self.signed_client(publisher, "signed.exe")
        manifest = self.serve(client=signed, min_client_version=NEWER_CLIENT_VERSION, no_prerequisite=True)
        exe = self.single_file_installer(manifest, signer=publisher)
        # wintrust and crypt32 are looked up in System32 only, even in Windows' native-first order.
        for dll in ("WINTRUST", "CRYPT32"):
            shutil.copyfile(os.path.join(self.build, "planted-dlls", dll + ".dll"),
                            os.path.join(os.path.dirname(exe), dll + ".dll"))
        overrides = (os.environ.get("WINEDLLOVERRIDES", "") + ";wintrust,crypt32=n,b").lstrip(";")
        run, log = self.run_with_log_text(exe, "verified", 0, extra_env={"WINEDLLOVERRIDES": overrides})
        self.assertEqual(run.boxes().summary(), [])
        self.assertTrue(wait_until(self.prerequisite_runs, 20), "the verified client did not start")
        self.assertEqual(len(self.prerequisite_runs()), 1)
        self.assertTrue(self.prerequisite_runs()[0].endswith('" /n /s'), self.prerequisite_runs())
        own = 'signed by "Korvex Test Publisher", key ' + publisher.key_hash
        self.assertIn("This client is " + own, log)
        self.assertIn("The newer client is " + own, log)
        self.assertIn("Newer client verified: its key is this client's own; accepted keys: " + publisher.key_hash, log)
        self.assertEqual([f for f in os.listdir(os.path.dirname(exe)) if f.endswith(".loaded")], [])

        self.serve_client(self.signed_client(other, "other.exe"))
        self.assertRefused(exe, "other-key", "its key is not an accepted signer")
        self.serve_client(self.altered_copy(signed, "altered.exe"))
        self.assertRefused(exe, "altered", "it is altered after signing (0x80096010)")
        self.serve_client(os.path.join(self.build, "bin", "FenwyxPrerequisite.exe"))
        self.assertRefused(exe, "unsigned", "it is not signed (0x800b0100)")
        self.assertEqual(len(self.prerequisite_runs()), 1, "a refused client started")
        self.assertEqual(self.requested("/client/" + generate.CLIENT_NAME), 4)

    def test_an_unsigned_client_with_a_client_signer_hands_over_to_that_signer_only(self):
        keys = self.signing_keys()
        publisher, other = keys.signer("publisher"), keys.signer("other")
        manifest = self.serve(client=self.signed_client(other, "other.exe"), min_client_version=NEWER_CLIENT_VERSION,
                              client_signer=[publisher.key_hash.upper()], no_prerequisite=True)
        exe = self.installer_folder(manifest)  # the build's program, unsigned
        log = self.assertRefused(exe, "other-key", "its key is not an accepted signer")
        self.assertIn("This client is not signed (0x800b0100)", log)
        self.assertEqual(self.prerequisite_runs(), [])

        self.serve_client(self.signed_client(publisher, "signed.exe"))
        run, log = self.run_with_log_text(exe, "pinned", 0)
        self.assertIn("Newer client verified: its key is a client_signer of the manifest; accepted keys: " +
                      publisher.key_hash, log)
        self.assertTrue(wait_until(self.prerequisite_runs, 20), "the pinned signer's client did not start")


# ---- the keyboard and what a screen reader reads ----------------------------

SETTINGS_CONSENT_BOX = 134
SETTINGS_ACCEPT_LABEL = 135
SETTINGS_HEADER = 136
SETTINGS_EXPANDER = 138
SETTINGS_BROWSE_BUTTON = 148
SETTINGS_LICENSE_LINK = 152
# The settings page's tab stops in reading order, from the one that has the focus first.
SETTINGS_TAB_STOPS = (SETTINGS_INSTALL_BUTTON, SETTINGS_CONSENT_BOX, SETTINGS_LICENSE_LINK, SETTINGS_EXPANDER,
                      SETTINGS_FOLDER_EDIT, SETTINGS_BROWSE_BUTTON)


def language_file(langid):
    parser = configparser.ConfigParser(interpolation=None)
    parser.optionxform = str
    parser.read(os.path.join(SOURCE, "demo", "language", str(langid), "stringPro.ini"), encoding="utf-16")
    return parser


class KeyboardScenario(Scenario):
    def focused(self, run):
        changes = run.timeline().focus_changes()
        return changes[-1] if changes else None

    def wait_for_focus(self, run, control_id, seconds=10):
        self.assertTrue(wait_until(lambda: self.focused(run) == control_id, seconds),
                        "the focus is on %s, not on %d" % (self.focused(run), control_id))

    def picture(self, control_id, name):
        """The control as the screen shows it, as PNG bytes."""
        path = os.path.join(self.work, name + ".png")
        self.assertEqual(self.wine.driver("screenshot", "--id", str(control_id), "--png", windows_path(path)), 0)
        with open(path, "rb") as f:
            return f.read()


class KeyboardInstall(KeyboardScenario):
    def test_return_installs_and_return_on_the_finish_page_starts_the_product(self):
        run = self.start_installer(self.installer_folder(self.serve(no_prerequisite=True)))
        self.wait_for_control(run, SETTINGS_INSTALL_BUTTON, 60)
        self.wait_for_focus(run, SETTINGS_INSTALL_BUTTON)
        self.wine.keys(FULL_NAME, "Return")
        self.wait_for_control(run, FINISH_START_BUTTON, 120)
        self.wait_for_focus(run, FINISH_START_BUTTON)
        self.wine.keys(FULL_NAME, "Return")
        self.assertExitCode(run, 0)

        self.assertEqual(run.timeline().pages_shown(), ["settings", "progress", "finish"])
        self.assertEqual(run.boxes().summary(), [])
        self.assertTrue(self.wait_for_product_start(), "Return did not start the product")
        self.assertEqual(self.product_runs(), ['"%s"' % PRODUCT_EXE])
        self.assertEqual(self.pages_opened(), [HOME_PAGE + generate.RELEASE_VERSION])
        self.assertRegistryValues(HKLM_PRODUCT_KEY, INSTALLED_BY_INSTALLER)


class TabStopWalk(KeyboardScenario):
    def test_every_tab_stop_is_named_as_drawn_and_shows_the_focus(self):
        english = language_file(1033)
        exe = self.installer_folder(self.serve(no_prerequisite=True))
        run = self.start_installer(exe, box_rules=[("cancel the installation", "Yes")], default_answer=None)
        self.wait_for_control(run, SETTINGS_INSTALL_BUTTON, 60)
        self.wait_for_focus(run, SETTINGS_INSTALL_BUTTON)

        # The labels carry the texts they draw; the controls drawn without text
        # are named after them.
        texts = run.timeline().last_texts()
        ui = english["UISTRING"]
        self.assertEqual((texts[SETTINGS_ACCEPT_LABEL], texts[SETTINGS_LICENSE_LINK], texts[SETTINGS_HEADER]),
                         (ui["IDS_ACCEPT_LICENSE_TERMS"], ui["IDS_LINK_LICENSE_TERMS"], ui["IDS_INSTALL_SETTINGS"]))
        names = {SETTINGS_INSTALL_BUTTON: ui["IDS_INSTALL"],
                 SETTINGS_CONSENT_BOX: texts[SETTINGS_ACCEPT_LABEL] + " " + texts[SETTINGS_LICENSE_LINK],
                 SETTINGS_LICENSE_LINK: texts[SETTINGS_LICENSE_LINK], SETTINGS_EXPANDER: texts[SETTINGS_HEADER],
                 SETTINGS_FOLDER_EDIT: PRODUCT_FOLDER, SETTINGS_BROWSE_BUTTON: ui["IDS_BROWSE_DEST_FOLDER"]}
        self.assertEqual({i: texts[i] for i in SETTINGS_TAB_STOPS}, names)

        # Each Tab moves the focus on in reading order, and the pictures of the
        # control it leaves and of the one it reaches change.
        walk = SETTINGS_TAB_STOPS[1:] + SETTINGS_TAB_STOPS[:1]
        for leaving, reaching in zip(SETTINGS_TAB_STOPS, walk):
            left, reached = self.picture(leaving, "%d-left" % leaving), self.picture(reaching, "%d-reached" % reaching)
            self.wine.keys(FULL_NAME, "Tab")
            self.wait_for_focus(run, reaching)
            time.sleep(0.3)
            self.assertNotEqual(self.picture(leaving, "%d-after" % leaving), left, "the cue stayed on %d" % leaving)
            self.assertNotEqual(self.picture(reaching, "%d-after" % reaching), reached, "no cue on %d" % reaching)
        self.wine.keys(FULL_NAME, "shift+Tab")
        self.wait_for_focus(run, SETTINGS_BROWSE_BUTTON)
        self.wine.keys(FULL_NAME, "shift+Tab", "shift+Tab", "shift+Tab")
        self.wait_for_focus(run, SETTINGS_LICENSE_LINK)
        # Return opens the link as a click does; Escape asks as the close button does.
        self.wine.keys(FULL_NAME, "Return")
        self.assertTrue(wait_until(lambda: self.pages_opened(), 15), "Return did not open the licence terms")
        self.assertEqual(self.pages_opened(), [english["RLINK"]["IDS_RLINK_TERMS"]])
        self.wine.keys(FULL_NAME, "Escape")
        self.assertExitCode(run, 1602)
        self.assertOnlyBox(run, CANCEL_QUESTION, "Yes")



# ---- Transfers that survive real networks -------------------------------------

INTERNET_SETTINGS_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings"
PROXY_VALUES = ("ProxyEnable", "ProxyServer", "ProxyOverride")
PROXY_NAME = "korvex-test-proxy"


def header_of(record, name):
    return next((value for key, value in record["headers"] if key.lower() == name.lower()), None)


class NetworkScenario(Scenario):
    """A silent run with its run log; the requests for the main package."""

    def package_records(self):
        return [r for r in self.server.records() if r["path"] == PACKAGES_PATH + generate.MAIN_PACKAGE]

    def assertLogged(self, log, pattern):
        self.assertRegex(read_text(log), pattern)

    def assertFailedWithoutTrace(self, run):
        self.assertExitCode(run, 1603)
        self.assertOnlyBox(run, SERVER_ERROR, "OK")
        self.assertNothingInstalled()


class EndingServerManifests(NetworkScenario):
    def test_endless_chunked_and_trickling_server_manifests_end_within_their_limits(self):
        exe = self.installer_folder(self.serve(rules=["/version.xml=chunked,endless=4096"], no_prerequisite=True))
        started = time.monotonic()
        run = self.start_installer(exe, ["/s"], name="chunked")
        self.assertFailedWithoutTrace(run)
        self.assertLess(time.monotonic() - started, 60, "the endless chunked body held the run")
        stored = self.component_files("version.xml")
        self.assertEqual(len(stored), 1)
        self.assertLessEqual(file_size(stored[0]), 1024 * 1024, "more than the limit was kept")

        # One byte every 50 s: only the deadline of 120 s ends it.
        self.server.set_rules(["/version.xml=trickle=1:50000"])
        started = time.monotonic()
        run = self.start_installer(exe, ["/s"], name="trickle", timeout_seconds=240)
        self.assertFailedWithoutTrace(run)
        self.assertLess(time.monotonic() - started, 170, "the trickle outlived the deadline")
        self.assertEqual(self.requested("/version.xml"), 2)


class ErrorPages(NetworkScenario):
    def test_error_pages_are_never_content(self):
        package = PACKAGES_PATH + generate.MAIN_PACKAGE
        exe = self.installer_folder(self.serve(rules=[package + "=status=500"], no_prerequisite=True))
        run, log = self.run_logged(exe, "package-500")
        self.assertFailedWithoutTrace(run)
        self.assertFalse(os.path.exists(self.installer_path("msi", generate.MAIN_PACKAGE)), "the error page was kept")
        # A server error passes: tried as often as the manifest says, with the waits logged.
        self.assertEqual(self.requested(package), 4)
        self.assertLogged(log, r"Request GET http://127\.0\.0\.1:\d+%s: status 500" % re.escape(package))
        self.assertLogged(log, r"Attempt 1 of 4 at .*%s failed: the server refused \(status 500\); next attempt in 1 s"
                          % re.escape(package))
        self.assertLogged(log, r"Attempt 4 of 4 at .*failed: .*; not tried again")

        self.server.set_rules(["/version.xml=status=404,body=<?xml version='1.0'?><html><body>Not here</body></html>"])
        run, log = self.run_logged(exe, "manifest-404")
        self.assertFailedWithoutTrace(run)
        self.assertEqual(run.timeline().main_windows(), [], "the wizard opened")
        self.assertEqual(self.requested("/version.xml"), 3, "a 404 was tried again")
        self.assertLogged(log, r"Client check: the server manifest could not be fetched or read")


class RetriedDownloads(NetworkScenario):
    def test_a_connection_dropped_once_is_survived_with_attempts_and_fails_without(self):
        half = os.path.getsize(os.path.join(self.packages, generate.MAIN_PACKAGE)) // 2
        drop = "/packages/%s=close-after=%d,times=1,etag" % (generate.MAIN_PACKAGE, half)
        exe = self.installer_folder(self.serve(rules=[drop], no_prerequisite=True))
        run, log = self.run_logged(exe, "four-attempts")
        self.assertExitCode(run, 0)
        self.assertEqual(run.boxes().summary(), [])
        self.assertRegistryValues(HKLM_PRODUCT_KEY, INSTALLED_BY_INSTALLER)
        first, second = self.package_records()
        self.assertTrue(first["fault"])
        self.assertEqual(header_of(second, "Range"), "bytes=%d-" % half)
        self.assertIsNotNone(header_of(second, "If-Range"))
        self.assertLogged(log, r"Attempt 1 of 4 at .*failed: the transfer was cut short .*; next attempt in 1 s")
        self.assertTrue(same_bytes(self.installer_path("msi", generate.MAIN_PACKAGE),
                                   self.served(generate.MAIN_PACKAGE)))

        self.remove_sample_product()
        exe = self.installer_folder(publish(self.server, self.packages, no_prerequisite=True, download_attempts=1))
        self.server.set_rules([drop])  # counted afresh
        run = self.start_installer(exe, ["/s"], name="one-attempt")
        self.assertFailedWithoutTrace(run)
        self.assertEqual(len(self.package_records()), 3)


class ResumedDownloads(NetworkScenario):
    def test_a_later_run_asks_only_for_the_rest_and_a_verified_package_is_not_fetched_again(self):
        half = os.path.getsize(os.path.join(self.packages, generate.MAIN_PACKAGE)) // 2
        exe = self.installer_folder(self.serve(
            rules=["/packages/%s=close-after=%d,times=1,etag" % (generate.MAIN_PACKAGE, half)], no_prerequisite=True,
            download_attempts=1))
        run = self.start_installer(exe, ["/s"], name="cut-short")
        self.assertFailedWithoutTrace(run)
        part = self.installer_path("msi", generate.MAIN_PACKAGE)
        self.assertEqual(file_size(part), half)
        self.assertTrue(read_text(part + ".resume").startswith("KorvexPart 1\n"))

        run, log = self.run_logged(exe, "resumed")
        self.assertExitCode(run, 0)
        self.assertEqual(header_of(self.package_records()[-1], "Range"), "bytes=%d-" % half)
        self.assertIsNotNone(header_of(self.package_records()[-1], "If-Range"))
        self.assertLogged(log, r"Resuming .*%s\" from byte %d of \d+" % (re.escape(generate.MAIN_PACKAGE), half))
        self.assertFalse(os.path.exists(part + ".resume"))
        self.assertTrue(same_bytes(part, self.served(generate.MAIN_PACKAGE)))

        self.remove_sample_product()
        run, log = self.run_logged(exe, "reused")
        self.assertExitCode(run, 0)
        self.assertEqual(len(self.package_records()), 2, "the verified package was fetched again")
        self.assertLogged(log, r"Reused .*%s\": complete, its SHA-256 matches" % re.escape(generate.MAIN_PACKAGE))
        self.assertEqual(self.registry(SAMPLE_KEY)["Version"], ("REG_SZ", generate.RELEASE_VERSION))


class ProxyInstall(NetworkScenario):
    """Debian's tinyproxy on loopback as the prefix's system proxy."""

    def start_proxy(self, name, credentials=None):
        port = closed_port()
        folder = os.path.join(self.work, name)
        os.makedirs(folder, exist_ok=True)
        lines = ["Port %d" % port, "Listen 127.0.0.1", "Allow 127.0.0.1", "Timeout 60", "MaxClients 20",
                 'ViaProxyName "%s"' % PROXY_NAME, 'LogFile "%s"' % os.path.join(folder, "proxy.log")]
        if credentials:
            lines.append("BasicAuth %s %s" % credentials)
        with open(os.path.join(folder, "tinyproxy.conf"), "w") as f:
            f.write("\n".join(lines) + "\n")
        # It ends by itself with the scenario's longest run, whatever happens here.
        proxy = subprocess.Popen(["timeout", "240", "/usr/bin/tinyproxy", "-d", "-c",
                                  os.path.join(folder, "tinyproxy.conf")],
                                 stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(lambda: (proxy.terminate(), proxy.wait(timeout=30)))
        self.assertTrue(wait_until(lambda: self.accepts(port), 10), "tinyproxy did not start")
        return port

    @staticmethod
    def accepts(port):
        try:
            socket.create_connection(("127.0.0.1", port), timeout=1).close()
            return True
        except OSError:
            return False

    def use_proxy(self, port):
        before = self.wine.reg_query(INTERNET_SETTINGS_KEY) or {}
        self.addCleanup(self.restore_settings, {name: before[name] for name in PROXY_VALUES if name in before})
        self.wine.reg_add(INTERNET_SETTINGS_KEY, "ProxyEnable", "REG_DWORD", "1")
        self.wine.reg_add(INTERNET_SETTINGS_KEY, "ProxyServer", "REG_SZ", "127.0.0.1:%d" % port)
        # Loopback addresses go through the proxy too.
        self.wine.reg_add(INTERNET_SETTINGS_KEY, "ProxyOverride", "REG_SZ", "<-loopback>")

    def restore_settings(self, before):
        for name in PROXY_VALUES:
            if name in before:
                self.wine.reg_add(INTERNET_SETTINGS_KEY, name, *before[name])
            else:
                self.wine.reg_delete_value(INTERNET_SETTINGS_KEY, name)

    def test_installs_through_a_system_proxy_and_names_one_that_asks_for_credentials(self):
        exe = self.installer_folder(self.serve(no_prerequisite=True))
        self.use_proxy(self.start_proxy("proxy"))
        run = self.start_installer(exe, ["/s"], name="through-proxy")
        self.assertExitCode(run, 0)
        self.assertRegistryValues(HKLM_PRODUCT_KEY, INSTALLED_BY_INSTALLER)
        records = self.server.records()
        self.assertEqual(len(records), 3, self.server.requests())
        for record in records:
            self.assertIn(PROXY_NAME, header_of(record, "Via") or "", record["path"])

        self.remove_sample_product()
        self.use_proxy(self.start_proxy("proxy-with-credentials", ("deploy", "secret")))
        run, log = self.run_logged(exe, "proxy-407")
        self.assertFailedWithoutTrace(run)
        self.assertEqual(len(self.server.records()), 3, "a request passed the proxy without credentials")
        self.assertLogged(log, r"Request GET http://127\.0\.0\.1:\d+/version\.xml: status 407 "
                               r"\(the proxy asks for credentials\)")
        self.assertLogged(log, r"Client check: the server manifest could not be fetched or read")


class StandaloneMissingPackage(NetworkScenario):
    def test_a_standalone_run_missing_its_package_ends_1603_with_nothing_registered(self):
        exe = self.installer_folder(self.serve(no_prerequisite=True, standalone=True))
        run, log = self.run_logged(exe, "standalone")
        self.assertFailedWithoutTrace(run)
        self.assertEqual(self.server.requests(), [])
        self.assertLogged(log, r'Standalone file ".*\\msi\\%s": missing' % re.escape(generate.MAIN_PACKAGE))

if __name__ == "__main__":
    main(sys.argv)
