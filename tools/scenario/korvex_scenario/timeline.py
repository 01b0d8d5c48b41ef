"""Reading what the probe and the message-box watcher recorded (pure Python)."""

import json
import re

MAIN_WINDOW_CLASS = "KorvexMasterInstallerClassName"
INSTALLER_PROCESS = "KorvexMasterInstaller.exe"

# Controls that tell the wizard's pages apart: the Install button, the phase
# text of the progress page and the finish page's Start Now.
SETTINGS_INSTALL_BUTTON = 133
PROGRESS_STATUS_TEXT = 122
PROGRESS_TIME_TEXT = 173
PROGRESS_PERCENT_TEXT = 123
FINISH_START_BUTTON = 1
SETTINGS_FOLDER_EDIT = 143

_PAGE_MARKERS = (("settings", SETTINGS_INSTALL_BUTTON), ("progress", PROGRESS_STATUS_TEXT),
                 ("finish", FINISH_START_BUTTON))


def read_json_lines(path):
    try:
        with open(path, encoding="utf-8") as f:
            return [json.loads(line) for line in f if line.strip()]
    except FileNotFoundError:
        return []


def percent_value(text):
    """42.5 for "42.5%", None for anything else."""
    match = re.fullmatch(r"(\d+(?:\.\d)?)%", text.strip())
    return float(match.group(1)) if match else None


class Records:
    """Records of one harness program, one JSON object a line, in time order."""

    def __init__(self, records):
        self.records = records

    @classmethod
    def load(cls, path):
        return cls(read_json_lines(path))

    def __len__(self):
        return len(self.records)

    def __iter__(self):
        return iter(self.records)


class Timeline(Records):
    """The probe's records: one per window state."""

    def states(self, process=INSTALLER_PROCESS, window_class=None):
        return [r for r in self.records if not r.get("gone") and r["process"].lower() == process.lower()
                and (window_class is None or r["class"] == window_class)]

    def main_window_states(self):
        return self.states(window_class=MAIN_WINDOW_CLASS)

    def main_windows(self):
        return sorted({r["hwnd"] for r in self.main_window_states()})

    def processes(self, process=INSTALLER_PROCESS):
        return sorted({r["pid"] for r in self.states(process)})

    def any_visible(self, process=INSTALLER_PROCESS):
        return [r for r in self.states(process) if r["visible"]]

    @staticmethod
    def visible_ids(record):
        return {c["id"] for c in record["controls"] if c["visible"]}

    @staticmethod
    def page_of(record):
        """The wizard page a main-window record shows, or None."""
        ids = Timeline.visible_ids(record)
        for page, marker in _PAGE_MARKERS:
            if marker in ids:
                return page
        return None

    def pages_shown(self):
        """The pages the user saw, in order, each once per showing."""
        pages = []
        for record in self.main_window_states():
            page = self.page_of(record) if record["visible"] and not record["iconic"] else None
            if page and (not pages or pages[-1] != page):
                pages.append(page)
        return pages

    def control_texts(self, control_id, page=None):
        """The texts a visible control showed, without repeats in a row."""
        texts = []
        for record in self.main_window_states():
            if not record["visible"] or (page and self.page_of(record) != page):
                continue
            for control in record["controls"]:
                if control["id"] == control_id and control["visible"]:
                    if not texts or texts[-1] != control["text"]:
                        texts.append(control["text"])
        return texts

    def visible_texts(self, page):
        """Every text of a visible control while the page was on show."""
        texts = set()
        for record in self.main_window_states():
            if record["visible"] and self.page_of(record) == page:
                texts.update(c["text"] for c in record["controls"] if c["visible"] and c["text"])
        return texts

    def bar_fills(self):
        """The progress bar's filled share (thousandths) at each change."""
        return [r["bar_fill"] for r in self.main_window_states()
                if r["visible"] and r["bar_fill"] >= 0 and self.page_of(r) == "progress"]

    def focus_changes(self, page=None):
        """The control ids that took the keyboard focus in the main window, in order."""
        ids = []
        for record in self.main_window_states():
            if record["visible"] and (page is None or self.page_of(record) == page):
                focus = record.get("focus", 0)
                if focus and (not ids or ids[-1] != focus):
                    ids.append(focus)
        return ids

    def last_texts(self):
        """{control id: text} of the visible controls in the main window's latest record."""
        states = [r for r in self.main_window_states() if r["visible"]]
        return {c["id"]: c["text"] for c in states[-1]["controls"] if c["visible"]} if states else {}

    def titles(self, process=INSTALLER_PROCESS):
        """Titles of the process's windows while they were visible."""
        return [r["title"] for r in self.states(process) if r["visible"]]


def growing(values):
    """True when the values never fall and rise at least twice."""
    rises = sum(1 for a, b in zip(values, values[1:]) if b > a)
    return all(b >= a for a, b in zip(values, values[1:])) and rises >= 2


class MessageBoxes(Records):
    """The watcher's records: caption, text, buttons and the answer given."""

    def summary(self):
        return ["%s | %s | %s -> %s" % (r["caption"], r["text"], "/".join(r["buttons"]), r["answer"])
                for r in self.records]
