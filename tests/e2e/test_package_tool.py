#!/usr/bin/env python3
"""tools/package as a publisher uses it: the output is the stripped program with
its data, its debug information lies beside the build, --sign signs it, and a
signing that fails leaves no output.

Run inside scripts/with-wine:  test_package_tool.py WIN64_BUILD_DIR
"""

import os
import shutil
import subprocess
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools", "scenario"))
from korvex_scenario.run import LANGUAGE_DATA, PACKAGE_TOOL, TestPki  # noqa: E402
from korvex_scenario.site import closed_port  # noqa: E402

BUILD = None


def sections(path):
    result = subprocess.run(["x86_64-w64-mingw32-objdump", "-h", path], check=True, capture_output=True, text=True)
    return {line.split()[1] for line in result.stdout.splitlines() if line.strip()[:1].isdigit()}


class PackageTool(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = os.path.join(BUILD, "package-tool-test")
        shutil.rmtree(cls.work, ignore_errors=True)
        os.makedirs(cls.work)
        cls.installer = os.path.join(BUILD, "KorvexMasterInstaller.exe")
        cls.manifest = os.path.join(cls.work, "manifestPro.xml")
        with open(cls.manifest, "w") as f:
            f.write("<korvexwebinstaller><product><pid>FWXPRO-180-WW</pid></product></korvexwebinstaller>\n")
        cls.keys = TestPki(os.path.join(BUILD, "e2e", "test-pki"))

    def package(self, output, *options):
        return subprocess.run([PACKAGE_TOOL, "--build-dir", BUILD, *options, self.installer, self.manifest,
                               LANGUAGE_DATA, output], stdin=subprocess.DEVNULL, capture_output=True, text=True,
                              timeout=120)

    def test_signed_output_is_stripped_and_verifies_and_the_debug_information_stays_beside_the_build(self):
        publisher = self.keys.signer("publisher")
        output = os.path.join(self.work, "signed", "KorvexMasterInstaller.exe")
        result = self.package(output, "--sign", *publisher.files())
        self.assertEqual(result.returncode, 0, result.stderr)
        verified = subprocess.run(["osslsigncode", "verify", "-CAfile", os.path.join(self.keys.folder, "root.crt"),
                                   "-in", output], capture_output=True, text=True)
        self.assertEqual(verified.returncode, 0, verified.stdout + verified.stderr)
        self.assertIn("Korvex Test Publisher", verified.stdout)

        shipped = sections(output)
        self.assertIn(".rsrc", shipped)
        self.assertIn(".gnu_debuglink", shipped)
        self.assertEqual({s for s in shipped if s.startswith(".debug")}, set(), "debug information was shipped")
        debug_file = os.path.join(BUILD, "KorvexMasterInstaller.debug")
        self.assertIn(".debug_info", sections(debug_file))
        self.assertEqual(os.listdir(os.path.dirname(output)), ["KorvexMasterInstaller.exe"])

    def test_a_failed_signing_leaves_no_output_and_says_why(self):
        publisher, other = self.keys.signer("publisher"), self.keys.signer("other")
        output = os.path.join(self.work, "failed", "KorvexMasterInstaller.exe")
        unreachable = "http://127.0.0.1:%d/timestamp" % closed_port()
        for options in (["--sign", publisher.cert, other.key],
                        ["--sign", *publisher.files(), "--timestamp", unreachable]):
            os.makedirs(os.path.dirname(output), exist_ok=True)
            with open(output, "w") as f:
                f.write("an earlier output")
            result = self.package(output, *options)
            self.assertNotEqual(result.returncode, 0, options)
            self.assertIn("package: signing with %s failed, no output written" % publisher.cert, result.stderr)
            self.assertEqual(os.listdir(os.path.dirname(output)), [], options)


if __name__ == "__main__":
    BUILD = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
