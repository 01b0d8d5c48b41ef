#!/usr/bin/env python3
"""The scenario runner's reading of its records, on the host: wrong readings
would let a scenario pass on a run that went wrong."""

import json
import hashlib
import os
import shutil
import socket
import sys
import tempfile
import unittest
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools", "scenario"))

from korvex_scenario.site import TestServer, closed_port, publish  # noqa: E402
from korvex_scenario.timeline import MessageBoxes, Timeline, growing, percent_value  # noqa: E402
from korvex_scenario.wine import parse_reg_query, reg_dword, windows_path  # noqa: E402

MAIN = "KorvexMasterInstallerClassName"


def window(ms, visible_ids=(), texts=None, visible=True, iconic=False, bar_fill=-1, hwnd=10, pid=4, cls=MAIN,
           process="KorvexMasterInstaller.exe", title="Fenwyx Pro 18", focus=0):
    texts = texts or {}
    ids = set(visible_ids) | set(texts)
    controls = [{"id": i, "class": "Static", "visible": i in visible_ids, "text": texts.get(i, "")}
                for i in sorted(ids)]
    return {"ms": ms, "hwnd": hwnd, "pid": pid, "visible": visible, "iconic": iconic, "foreground": visible,
            "rect": [0, 0, 10, 10], "bar_fill": bar_fill, "process": process, "class": cls, "title": title,
            "controls": controls, "focus": focus}


class PagesAndTexts(unittest.TestCase):
    def test_pages_follow_their_marker_controls_and_hidden_or_minimised_windows_show_none(self):
        timeline = Timeline([
            window(0, [133], visible=False),              # created hidden: nothing seen yet
            window(100, [133]),
            window(200, [133], iconic=True),               # minimised: not seen
            window(300, [133]),                            # the same showing continues
            window(400, [122, 123, 173]),
            window(500, [1]),
            {"ms": 600, "hwnd": 10, "gone": True},
        ])
        self.assertEqual(timeline.pages_shown(), ["settings", "progress", "finish"])

    def test_focus_changes_in_order_while_visible_without_repeats(self):
        timeline = Timeline([window(0, [133], visible=False, focus=148), window(100, [133], focus=133),
                             window(200, [133], texts={135: "x"}, focus=133), window(300, [133], focus=134),
                             window(400, [133]), window(500, [1], focus=1)])
        self.assertEqual(timeline.focus_changes(), [133, 134, 1])
        self.assertEqual(timeline.focus_changes("settings"), [133, 134])

    def test_a_silent_run_shows_no_page_even_when_its_controls_say_visible(self):
        timeline = Timeline([window(0, [122], visible=False), window(900, [122], visible=False)])
        self.assertEqual(timeline.pages_shown(), [])
        self.assertEqual(timeline.any_visible(), [])
        self.assertEqual(timeline.main_windows(), [10])

    def test_other_processes_and_classes_are_kept_apart(self):
        timeline = Timeline([
            window(0, hwnd=1, cls="#32770", title="Preparing..."),
            window(0, [133], hwnd=2, process="Product.exe"),
            window(50, [133], hwnd=3, visible=False),
        ])
        self.assertEqual(timeline.main_windows(), [3])
        self.assertEqual(timeline.titles(), ["Preparing..."])
        self.assertEqual(timeline.pages_shown(), [])
        self.assertEqual(timeline.processes(), [4])

    def test_control_texts_keep_order_drop_repeats_and_ignore_hidden_controls_and_other_pages(self):
        timeline = Timeline([
            window(0, [133, 122], {122: "Initializing..."}),   # settings page on show: not the progress page
            window(100, [122], {122: "Initializing..."}),
            window(200, [122], {122: "Downloading, please wait..."}),
            window(300, [122], {122: "Downloading, please wait..."}),
            window(400, [123], {122: "hidden text", 123: "50.0%"}),
            window(500, [122], {122: "Installing, please wait..."}),
        ])
        self.assertEqual(timeline.control_texts(122, "progress"),
                         ["Initializing...", "Downloading, please wait...", "Installing, please wait..."])
        self.assertEqual(timeline.visible_texts("settings"), {"Initializing..."})

    def test_bar_fills_only_while_the_progress_page_is_on_show(self):
        timeline = Timeline([window(0, [133], bar_fill=900), window(100, [122], bar_fill=-1),
                             window(200, [122], bar_fill=120), window(300, [122], bar_fill=480),
                             window(400, [1], bar_fill=1000)])
        self.assertEqual(timeline.bar_fills(), [120, 480])

    def test_the_probe_records_as_written_round_trip(self):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "windows.jsonl")
            with open(path, "w", encoding="utf-8") as f:
                f.write(json.dumps(window(0, [133], {143: "C:\\Program Files\\Korvex Systems"})) + "\n\n")
            self.assertEqual(Timeline.load(path).pages_shown(), ["settings"])
            self.assertEqual(Timeline.load(os.path.join(folder, "missing.jsonl")).records, [])


class Readings(unittest.TestCase):
    def test_growing_needs_two_rises_and_no_fall(self):
        for values, expected in (([0, 10, 20], True), ([0, 10, 10, 30], True), ([0, 10], False),
                                 ([5, 5, 5], False), ([0, 30, 20, 40], False), ([], False)):
            self.assertEqual(growing(values), expected, values)

    def test_percent_texts(self):
        for text, expected in (("42.5%", 42.5), ("0.0%", 0.0), ("100.0%", 100.0), ("7%", 7.0),
                               ("42.55%", None), ("%", None), ("", None), ("Calculating", None)):
            self.assertEqual(percent_value(text), expected, text)

    def test_reg_query_output_with_spaces_in_names_and_empty_data(self):
        output = ("\r\nHKEY_CURRENT_USER\\SOFTWARE\\Korvex Systems\\ResourceLangID\r\n"
                  "    C:\\Program Files\\Korvex Systems\\bin\\Tessulo2.exe    REG_SZ    1031\r\n"
                  "    ApplicationLanguage    REG_DWORD    0x407\r\n"
                  "    Empty    REG_SZ\r\n"
                  "    Text    REG_SZ    two    spaced    words\r\n\r\n"
                  "HKEY_CURRENT_USER\\SOFTWARE\\Korvex Systems\\ResourceLangID\\Sub\r\n"
                  "    Other    REG_SZ    not this key\r\n")
        values = parse_reg_query(output)
        self.assertEqual(values, {
            "C:\\Program Files\\Korvex Systems\\bin\\Tessulo2.exe": ("REG_SZ", "1031"),
            "ApplicationLanguage": ("REG_DWORD", "0x407"),
            "Empty": ("REG_SZ", ""),
            "Text": ("REG_SZ", "two    spaced    words"),
        })
        self.assertEqual(reg_dword(values["ApplicationLanguage"]), 1031)
        with self.assertRaises(ValueError):
            reg_dword(values["Empty"])

    def test_windows_paths_go_through_the_z_drive(self):
        self.assertEqual(windows_path("/work/main/build/x y/a.exe"), "Z:\\work\\main\\build\\x y\\a.exe")

    def test_message_box_summary(self):
        boxes = MessageBoxes([{"caption": "Fenwyx Pro", "text": "Sure?", "buttons": ["Yes", "No"], "answer": "No"}])
        self.assertEqual(len(boxes), 1)
        self.assertEqual(boxes.summary(), ["Fenwyx Pro | Sure? | Yes/No -> No"])


class SiteOnTheTestServer(unittest.TestCase):
    def test_published_layout_is_served_with_its_faults_and_the_server_stops(self):
        packages = tempfile.mkdtemp(prefix="korvex-packages-")
        self.addCleanup(shutil.rmtree, packages, True)
        for name in ("FenwyxPro.msi", "FenwyxPro-Broken.msi", "fenwyx_prerequisite.exe"):
            with open(os.path.join(packages, name), "wb") as f:
                f.write(name.encode() * 100)
        folder = tempfile.mkdtemp(prefix="korvex-site-")
        self.addCleanup(shutil.rmtree, folder, True)
        server = TestServer(folder, lifetime=60)
        server.start(["/packages/FenwyxPro.msi=status=503"])
        self.addCleanup(server.stop)
        unreachable = "http://127.0.0.1:%d/version.xml" % closed_port()
        manifest = publish(server, packages, main_package="broken", version_check_url=unreachable,
                           no_prerequisite=True)
        with open(manifest, encoding="utf-8") as f:
            text = f.read()
        self.assertIn("<version_check_url>%s</version_check_url>" % unreachable, text)
        self.assertIn("<full_url>%s/packages/FenwyxPro-Broken.msi</full_url>" % server.base_url, text)
        self.assertNotIn("<dependency>", text)
        broken_hash = hashlib.sha256(b"FenwyxPro-Broken.msi" * 100).hexdigest()
        self.assertIn("<sha256>%s</sha256>" % broken_hash, text)
        self.assertNotIn("<transform>\n        <lang_id>1031</lang_id>\n        <name>FenwyxPro-1031.mst</name>\n"
                         "        <full_url>%s/packages/FenwyxPro-1031.mst</full_url>\n        <sha256>" % server.base_url,
                         text, "a hash for a package that is not there")

        with urllib.request.urlopen(server.base_url + "/packages/FenwyxPro-Broken.msi", timeout=10) as response:
            self.assertEqual(response.read(), b"FenwyxPro-Broken.msi" * 100)
        with self.assertRaises(urllib.error.HTTPError) as refused:
            urllib.request.urlopen(server.base_url + "/packages/FenwyxPro.msi", timeout=10)
        self.assertEqual(refused.exception.code, 503)
        self.assertEqual(server.requests(), [("GET", "/packages/FenwyxPro-Broken.msi", 200),
                                             ("GET", "/packages/FenwyxPro.msi", 503)])
        server.stop()
        with self.assertRaises(OSError):
            socket.create_connection(("127.0.0.1", server.port), timeout=2).close()


if __name__ == "__main__":
    unittest.main(verbosity=2)
