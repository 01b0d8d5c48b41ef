#!/usr/bin/env python3
"""The set-up list in scripts/lib/deps.sh covers every system file the scripts use.

A fresh Debian machine has only what the install list brings, so a script
that takes a file from a package missing from the list works on a developer's
machine and fails on a new one. These checks keep the list complete and true.
"""

import os
import re
import shutil
import subprocess
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
DEPS = os.path.join(ROOT, "scripts", "lib", "deps.sh")

# Developer tools that redraw committed files and name their own packages;
# neither the demo nor the tests run them.
DEVELOPER_ONLY = {os.path.join("tools", "make-resources", "make-resources"), os.path.join("demo", "make-slides.py")}
SYSTEM_PATH = re.compile(r"/usr/(?:share|bin|sbin|src|lib)/[A-Za-z0-9_.+/-]+")


def deps_array(name):
    script = 'source "%s"; printf "%%s\\n" "${%s[@]}"' % (DEPS, name)
    output = subprocess.run(["bash", "-c", script], check=True, capture_output=True, text=True).stdout
    return [line for line in output.splitlines() if line]


def required_files():
    return dict(entry.split(" ", 1) for entry in deps_array("KORVEX_REQUIRED_FILES"))


def script_files():
    """Everything that runs during ./scripts/demo and ./scripts/test."""
    for top in ("scripts", "cmake", "demo", "tests", "tools"):
        for folder, _, names in os.walk(os.path.join(ROOT, top)):
            for name in names:
                path = os.path.join(folder, name)
                relative = os.path.relpath(path, ROOT)
                if relative in DEVELOPER_ONLY or relative.startswith(os.path.join("tests", "scripts")):
                    continue
                if name == "CMakeLists.txt" or name.endswith((".cmake", ".sh", ".py")) or top == "scripts":
                    yield relative, path
    yield "CMakeLists.txt", os.path.join(ROOT, "CMakeLists.txt")


def package_owning(path):
    result = subprocess.run(["dpkg-query", "-S", path], capture_output=True, text=True)
    if result.returncode != 0:
        return None
    return result.stdout.split(":", 1)[0].strip()


def package_and_dependencies(package):
    result = subprocess.run(["dpkg-query", "-W", "-f=${Pre-Depends},${Depends}", package], capture_output=True, text=True)
    names = {package}
    for alternative in re.split(r"[,|]", result.stdout):
        word = alternative.strip().split(" ", 1)[0].split(":", 1)[0]
        if word:
            names.add(word)
    return names


class RequiredFiles(unittest.TestCase):
    def test_every_listed_package_is_installed_by_the_scripts(self):
        packages = set(deps_array("KORVEX_BUILD_PACKAGES"))
        for path, package in required_files().items():
            self.assertIn(package, packages, "%s comes from %s, which the scripts do not install" % (path, package))

    def test_every_system_path_a_script_uses_is_listed(self):
        listed = required_files()
        for relative, path in script_files():
            with open(path, encoding="utf-8", errors="replace") as source:
                text = source.read()
            for used in sorted(set(SYSTEM_PATH.findall(text))):
                used = used.rstrip(".")
                if used in ("/usr/bin", "/usr/bin/env") or used.startswith("/usr/bin/python3"):
                    continue
                self.assertTrue(any(used == p or p.startswith(used.rstrip("/") + "/") for p in listed),
                                "%s uses %s, which scripts/lib/deps.sh does not list" % (relative, used))

    @unittest.skipUnless(shutil.which("dpkg-query"), "needs Debian's package database")
    def test_listed_packages_own_their_files(self):
        for path, package in required_files().items():
            owner = package_owning(path)
            if owner is None:
                continue  # an alternatives link, or not installed yet: the script's own check reports it
            self.assertIn(owner, package_and_dependencies(package), "%s belongs to %s" % (path, owner))


if __name__ == "__main__":
    unittest.main()
