#!/usr/bin/env python3
"""The sample product's packages under Wine's msi and its download site under nginx.

Run inside scripts/with-wine (WINEPREFIX and DISPLAY set):
  test_sample_product.py PACKAGES_DIR
"""

import os
import shutil
import socket
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.request
import xml.etree.ElementTree as ElementTree

HERE = os.path.dirname(os.path.abspath(__file__))
DEMO = os.path.join(HERE, "..", "..", "demo")
sys.path.insert(0, DEMO)
import generate  # noqa: E402
import msi_transform  # noqa: E402

PACKAGES = None
SAMPLE_KEY = r"HKLM\SOFTWARE\Korvex Systems\Fenwyx Pro Sample"
LANGUAGE_PACK_KEY = "HKLM\\" + generate.REGISTRY_KEY + r"\LanguagePacks\1031"
PRODUCT_FOLDER = os.path.join(os.environ.get("WINEPREFIX", ""), "drive_c", "Program Files", "Korvex Systems")


def wine(*args, check=True):
    result = subprocess.run(["wine", *args], stdin=subprocess.DEVNULL, capture_output=True, timeout=180)
    if check and result.returncode != 0:
        raise AssertionError("wine %s failed with %d" % (" ".join(args), result.returncode))
    return result


def registry_values(key):
    """{name: data} of a key, or None when the key does not exist."""
    result = wine("reg", "query", key, check=False)
    if result.returncode != 0:
        return None
    values = {}
    for line in result.stdout.decode("utf-8", "replace").splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) == 3 and parts[1].startswith("REG_"):
            values[parts[0]] = parts[2]
    return values


def msiexec(*args):
    return wine("msiexec", *args, "/qn", check=False).returncode


def package(name):
    return os.path.join(PACKAGES, name)


def windows_path(path):
    # The installer hands msi Windows paths; a Linux path in TRANSFORMS is not applied.
    return subprocess.run(["winepath", "-w", path], capture_output=True, text=True, check=True).stdout.strip()


class SamplePackagesUnderWine(unittest.TestCase):
    def setUp(self):
        self.uninstall()
        self.addCleanup(self.uninstall)

    def uninstall(self):
        for code in ("{5CED4213-25D8-4400-AAA1-F8A15BF9A95C}", generate.PRODUCT_CODE):
            msiexec("/x", code)
        self.assertIsNone(registry_values(SAMPLE_KEY), "uninstalling left the sample's registry key")

    def test_first_install_records_command_line_properties_and_the_transform(self):
        transform = package(generate.TRANSFORM % 1031)
        self.assertEqual(msiexec("/i", package(generate.MAIN_PACKAGE), "SAMPLE_TAG=from the command line",
                                 "SHELL_INTEGRATION_LEVEL=Free", "TRANSFORMS=" + windows_path(transform)), 0)
        values = registry_values(SAMPLE_KEY)
        self.assertEqual(values["SampleTag"], "from the command line")
        self.assertEqual(values["ShellIntegrationLevel"], "Free")
        self.assertEqual(values["Language"], "1031")
        self.assertEqual(values["Version"], generate.RELEASE_VERSION)
        self.assertTrue(os.path.isfile(os.path.join(PRODUCT_FOLDER, "bin", "Product.exe")))

    def test_plain_install_keeps_the_defaults(self):
        self.assertEqual(msiexec("/i", package(generate.MAIN_PACKAGE)), 0)
        values = registry_values(SAMPLE_KEY)
        self.assertEqual((values["SampleTag"], values["Language"], values["ShellIntegrationLevel"]),
                         ("none", "1033", "All"))

    def test_update_package_repairs_the_installed_release(self):
        self.assertEqual(msiexec("/i", package(generate.MAIN_PACKAGE)), 0)
        self.assertEqual(msiexec("/i", package(generate.UPDATE_PACKAGE), "REINSTALL=ALL", "REINSTALLMODE=vomus",
                                 "REBOOT=ReallySuppress"), 0)
        self.assertEqual(registry_values(SAMPLE_KEY)["Version"], generate.UPDATE_VERSION)

    def test_language_pack_registers_itself_and_accepts_the_product_transform(self):
        # The installer passes the product's transform to every package it installs.
        self.assertEqual(msiexec("/i", package(generate.LANGUAGE_PACK % 1031),
                                 "TRANSFORMS=" + windows_path(package(generate.TRANSFORM % 1031))), 0)
        self.assertEqual(registry_values(LANGUAGE_PACK_KEY)["Version"], generate.RELEASE_VERSION)
        self.assertTrue(os.path.isfile(os.path.join(PRODUCT_FOLDER, "bin", "lang", "1031.txt")))
        msiexec("/x", "{5CED4213-25D8-4400-AAA1-F8A15BF9A95C}")
        self.assertIsNone(registry_values(LANGUAGE_PACK_KEY))


class TransformFile(unittest.TestCase):
    def test_compound_file_header_and_stream_names(self):
        data = msi_transform.property_transform({"A": "1"})
        self.assertEqual(data[:8], b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")
        self.assertEqual(len(data) % 512, 0)
        first_directory_sector = struct.unpack_from("<I", data, 48)[0]
        root = data[512 * (1 + first_directory_sector):][:128]
        self.assertEqual(root[:20].decode("utf-16-le"), "Root Entry")
        self.assertEqual(root[80:96], msi_transform.TRANSFORM_CLSID)

    def test_stream_name_packing(self):
        # The name Wine's msi found the Property table under.
        self.assertEqual(msi_transform.encode_stream_name("Property"), "\u4840\u4559\u44f2\u4568\u4737")
        encoded = msi_transform.encode_stream_name("_StringPool")
        self.assertEqual(encoded[0], "\u4840")
        self.assertEqual(len(encoded), 1 + 6)  # ten characters in pairs, the eleventh alone

    def test_rejects_empty_rows(self):
        for properties in ({"": "x"}, {"NAME": ""}):
            with self.assertRaises(ValueError):
                msi_transform.property_transform(properties)


class DownloadSite(unittest.TestCase):
    def test_nginx_serves_manifests_and_packages_with_their_length(self):
        with socket.socket() as probe:
            probe.bind(("127.0.0.1", 0))
            port = probe.getsockname()[1]
        base = "http://127.0.0.1:%d" % port
        out = tempfile.mkdtemp(prefix="korvex-site-")
        self.addCleanup(shutil.rmtree, out, True)
        client = package(generate.PREREQUISITE)  # any program stands in for the newer client
        subprocess.run([sys.executable, os.path.join(DEMO, "generate.py"), "site", "--packages", PACKAGES,
                        "--out", out, "--base-url", base, "--port", str(port), "--client", client,
                        "--min-client-version", "18.0.0.11"], check=True)
        runtime = os.path.join(out, "nginx")
        server = subprocess.Popen(["timeout", "120", "nginx", "-c", os.path.join(runtime, "nginx.conf"),
                                   "-p", runtime, "-e", os.path.join(runtime, "error.log")])
        self.addCleanup(server.wait)
        self.addCleanup(server.terminate)

        body = None
        for _ in range(100):
            try:
                with urllib.request.urlopen(base + "/version.xml", timeout=5) as response:
                    body = response.read()
                break
            except OSError:
                time.sleep(0.1)
        if body is None:
            with open(os.path.join(runtime, "error.log")) as log:
                self.fail("nginx did not answer: " + log.read())
        server_manifest = ElementTree.fromstring(body)
        self.assertEqual(server_manifest.tag, "korvexwebinstaller")
        self.assertEqual(server_manifest.findtext("fresh_install/min_web_installer_version"), "18.0.0.11")
        self.assertEqual(server_manifest.findtext("patch_install/product_version"), generate.RELEASE_VERSION)

        product_manifest = ElementTree.parse(os.path.join(out, "manifestPro.xml")).getroot()
        urls = [product_manifest.findtext("product/version_check_url"),
                product_manifest.findtext("product/main_component/full_url"),
                product_manifest.findtext("product/main_component/transform/full_url"),
                product_manifest.findtext("product/language_pack/full_url"),
                product_manifest.findtext("product/dependency/full_url"),
                server_manifest.findtext("fresh_install/web_installer_download_url")]
        for url in urls:
            self.assertTrue(url.startswith(base + "/"), url)
            request = urllib.request.Request(url, method="HEAD", headers={"User-Agent": "Fenwyx Web Installer Client"})
            with urllib.request.urlopen(request, timeout=5) as response:
                self.assertEqual(response.status, 200, url)
                length = response.headers["Content-Length"]
            self.assertIsNotNone(length, url)
            self.assertEqual(int(length), os.path.getsize(os.path.join(out, "www", url[len(base) + 1:])), url)
        with self.assertRaises(urllib.error.HTTPError) as missing:
            urllib.request.urlopen(base + "/packages/none.msi", timeout=5)
        self.assertEqual(missing.exception.code, 404)


if __name__ == "__main__":
    PACKAGES = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
