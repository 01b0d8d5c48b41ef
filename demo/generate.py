#!/usr/bin/env python3
"""Generates the sample product's packages and a download site for them.

  generate.py packages --bin BIN --out DIR
      Windows Installer packages (wixl), the German transform and the
      prerequisite program, from the programs built into BIN.
  generate.py site --packages DIR --out DIR --base-url URL --port N [--client EXE] [options]
      A static site for the download server (packages, server manifest
      version.xml, a newer client), the product manifest for the installer
      folder (config/manifestPro.xml) and an nginx configuration. The options
      choose other layouts for the end-to-end tests: a main package that
      fails, a prerequisite package, manifest and client URLs elsewhere, keys
      a newer client may be signed with, the number of download attempts, a
      standalone package.
"""

import argparse
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
from xml.sax.saxutils import escape

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import msi_transform  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))

PRODUCT_CODE = "{DF10335F-BC76-4CD8-956D-B73247C46AC2}"
LANGUAGE_PACK_PRODUCT_CODE = "{5CED4213-25D8-4400-AAA1-F8A15BF9A95C}"
REGISTRY_KEY = r"SOFTWARE\Korvex Systems\Fenwyx Professional\180"
CLIENT_VERSION = "18.0.0.10"
RELEASE_VERSION = "18.0.0.100"
UPDATE_VERSION = "18.0.0.200"
GERMAN = 1031

MAIN_PACKAGE = "FenwyxPro.msi"
UPDATE_PACKAGE = "FenwyxPro-Update.msi"
BROKEN_PACKAGE = "FenwyxPro-Broken.msi"
BROKEN_PRODUCT_CODE = "{80F03DCE-B0DA-4573-990F-97112520D4AE}"
RUNTIME_PACKAGE = "fenwyx_runtime.msi"
RUNTIME_PRODUCT_CODE = "{39CC6B9A-B7B1-448E-88E5-C9A6A853D131}"
SLOW_RUNTIME_PACKAGE = "fenwyx_slow_runtime.msi"
SLOW_RUNTIME_PRODUCT_CODE = "{7B3E9D51-2C4A-4F86-9E1B-5D0A8C6F3E27}"
LANGUAGE_PACK = "FenwyxPro-LanguagePack-%d.msi"
TRANSFORM = "FenwyxPro-%d.mst"
PREREQUISITE = "fenwyx_prerequisite.exe"
PRODUCT_EXECUTABLE = r"bin\Product.exe"
CLIENT_NAME = "KorvexMasterInstaller.exe"

# What the German transform changes in the packages it is applied to.
GERMAN_PROPERTIES = {"SAMPLE_LANGUAGE": "1031"}


def run_wixl(source, output, defines, files):
    """wixl finds payload files only by relative paths: stage them in one folder."""
    with tempfile.TemporaryDirectory() as stage:
        command = ["wixl", "-a", "x64", "-o", os.path.abspath(output)]
        for name, value in defines.items():
            command += ["-D", "%s=%s" % (name, value)]
        for name, path in files.items():
            staged = name + os.path.splitext(path)[1]
            shutil.copyfile(path, os.path.join(stage, staged))
            command += ["-D", "%s=%s" % (name, staged)]
        command.append(os.path.join(HERE, "packages", source))
        subprocess.run(command, check=True, cwd=stage)


def make_packages(bin_dir, out_dir):
    os.makedirs(out_dir, exist_ok=True)
    product = os.path.join(bin_dir, "Product.exe")
    prerequisite = os.path.join(bin_dir, "FenwyxPrerequisite.exe")
    failing_action = os.path.join(bin_dir, "FenwyxFailingAction.dll")
    slow_action = os.path.join(bin_dir, "FenwyxSlowAction.dll")
    for program in (product, prerequisite, failing_action, slow_action):
        if not os.path.isfile(program):
            raise SystemExit("missing program: %s (build the win64 preset first)" % program)

    run_wixl("FenwyxPro.wxs", os.path.join(out_dir, MAIN_PACKAGE),
             {"ProductVersion": RELEASE_VERSION}, {"ProgramFile": product})
    run_wixl("FenwyxPro.wxs", os.path.join(out_dir, UPDATE_PACKAGE),
             {"ProductVersion": UPDATE_VERSION}, {"ProgramFile": product})
    run_wixl("FenwyxProBroken.wxs", os.path.join(out_dir, BROKEN_PACKAGE), {"ProductVersion": RELEASE_VERSION},
             {"ActionFile": failing_action})
    run_wixl("FenwyxRuntime.wxs", os.path.join(out_dir, RUNTIME_PACKAGE), {"ProductVersion": RELEASE_VERSION}, {})
    run_wixl("FenwyxSlowRuntime.wxs", os.path.join(out_dir, SLOW_RUNTIME_PACKAGE), {"ProductVersion": RELEASE_VERSION},
             {"ActionFile": slow_action})
    with tempfile.TemporaryDirectory() as scratch:
        texts = os.path.join(scratch, "texts.txt")
        with open(texts, "w", encoding="utf-8") as f:
            f.write("Fenwyx Pro: Deutsche Benutzeroberfläche\n")
        run_wixl("FenwyxProLanguagePack.wxs", os.path.join(out_dir, LANGUAGE_PACK % GERMAN),
                 {"ProductVersion": RELEASE_VERSION, "LanguageId": GERMAN, "RegistryKey": REGISTRY_KEY},
                 {"TextsFile": texts})
    with open(os.path.join(out_dir, TRANSFORM % GERMAN), "wb") as f:
        f.write(msi_transform.property_transform(GERMAN_PROPERTIES))
    shutil.copyfile(prerequisite, os.path.join(out_dir, PREREQUISITE))


def element(name, text):
    return "<%s>%s</%s>" % (name, escape(text), name)


MAIN_PACKAGES = {"release": MAIN_PACKAGE, "update": UPDATE_PACKAGE, "broken": BROKEN_PACKAGE}


def sha256_of(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def sha256_lines(indent, hashes, name):
    """The entry's sha256 element, when the package is there to hash."""
    return [indent + element("sha256", hashes[name])] if name in hashes else []


def product_manifest(base_url, args, hashes):
    """hashes: the SHA-256 of each package by file name."""
    main = MAIN_PACKAGES[args.main_package]
    lines = [
        '<?xml version="1.0" encoding="utf-8"?>',
        "<korvexwebinstaller>",
        "  " + element("web_installer_version", args.client_version),
        "  " + element("product_code", PRODUCT_CODE),
        "  <product>",
        "    " + element("pid", args.pid),
        "    " + element("full_name", "Fenwyx Pro 18"),
        "    " + element("short_name", "Fenwyx Pro"),
        "    " + element("registry", REGISTRY_KEY),
        "    " + element("standalone", "true" if args.standalone else "false"),
        "    " + element("standalone_version", RELEASE_VERSION),
        "    " + element("version_check_url", args.version_check_url or base_url + "/version.xml"),
        "    <main_component>",
        "      " + element("name", main),
        "      " + element("executable", PRODUCT_EXECUTABLE),
        "      " + element("full_url", "%s/packages/%s" % (base_url, main)),
        *sha256_lines("      ", hashes, main),
        "      <transform>",
        "        " + element("lang_id", str(GERMAN)),
        "        " + element("name", TRANSFORM % GERMAN),
        "        " + element("full_url", "%s/packages/%s" % (base_url, TRANSFORM % GERMAN)),
        *sha256_lines("        ", hashes, TRANSFORM % GERMAN),
        "      </transform>",
        "    </main_component>",
        "    <language_pack>",
        "      " + element("lang_id", str(GERMAN)),
        "      " + element("pid", "FWXPRO-180-DE"),
        "      " + element("name", LANGUAGE_PACK % GERMAN),
        "      " + element("full_url", "%s/packages/%s" % (base_url, LANGUAGE_PACK % GERMAN)),
        *sha256_lines("      ", hashes, LANGUAGE_PACK % GERMAN),
        "    </language_pack>",
    ]

    def dependency(name, command_line):
        return ["    <dependency>",
                "      " + element("name", name),
                "      " + element("full_url", "%s/packages/%s" % (base_url, name)),
                "      " + element("install_commandline", command_line),
                *sha256_lines("      ", hashes, name),
                "    </dependency>"]

    if args.runtime_prerequisite:
        lines += dependency(RUNTIME_PACKAGE, "/qn")
    if args.slow_runtime_prerequisite:
        lines += dependency(SLOW_RUNTIME_PACKAGE, "/qn")
    if not args.no_prerequisite:
        lines += dependency(PREREQUISITE, "/quiet /norestart")
    lines += ["    " + element("download_attempts", str(args.download_attempts)), "  </product>"]
    lines += ["  " + element("client_signer", key) for key in args.client_signer]
    lines += ["</korvexwebinstaller>", ""]
    return "\n".join(lines)


def server_manifest(base_url, args):
    client_url = args.client_url or "%s/client/%s" % (base_url, CLIENT_NAME)

    def release(tag, product_version):
        return ["  <%s>" % tag,
                "    " + element("product_version", product_version),
                "    " + element("min_web_installer_version", args.min_client_version),
                "    " + element("web_installer_download_url", client_url),
                "  </%s>" % tag]

    offered = UPDATE_VERSION if args.main_package == "update" else RELEASE_VERSION
    lines = ['<?xml version="1.0" encoding="utf-8"?>', "<korvexwebinstaller>",
             "  " + element("product_code", PRODUCT_CODE)]
    lines += release("fresh_install", offered) + release("patch_install", offered)
    lines += ["</korvexwebinstaller>", ""]
    return "\n".join(lines)


def nginx_configuration(root, port, runtime_dir):
    # Loopback only; Content-Length on every file (the installer needs it).
    # Started by root, the workers would drop to a user that may not read the
    # build folder: they keep root's rights instead.
    user = "user root;\n" if os.geteuid() == 0 else ""
    return user + """daemon off;
worker_processes 1;
pid {run}/nginx.pid;
error_log {run}/error.log warn;
events {{ worker_connections 64; }}
http {{
    types {{
        application/xml xml;
        application/x-msi msi;
        application/octet-stream exe mst;
    }}
    default_type application/octet-stream;
    access_log {run}/access.log;
    client_body_temp_path {run}/body;
    proxy_temp_path {run}/proxy;
    fastcgi_temp_path {run}/fastcgi;
    uwsgi_temp_path {run}/uwsgi;
    scgi_temp_path {run}/scgi;
    sendfile on;
    gzip off;
    chunked_transfer_encoding off;
    server {{
        listen 127.0.0.1:{port};
        root {root};
        location / {{ }}
    }}
}}
""".format(run=runtime_dir, port=port, root=root)


def write_text(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


def make_site(args):
    base_url = args.base_url.rstrip("/")
    www = os.path.join(args.out, "www")
    packages = os.path.join(www, "packages")
    os.makedirs(packages, exist_ok=True)
    hashes = {}
    for name in os.listdir(args.packages):
        shutil.copyfile(os.path.join(args.packages, name), os.path.join(packages, name))
        hashes[name] = sha256_of(os.path.join(packages, name))
    if args.client:
        os.makedirs(os.path.join(www, "client"), exist_ok=True)
        shutil.copyfile(args.client, os.path.join(www, "client", CLIENT_NAME))
    write_text(os.path.join(www, "version.xml"), server_manifest(base_url, args))
    write_text(os.path.join(args.out, "manifestPro.xml"), product_manifest(base_url, args, hashes))
    runtime = os.path.join(args.out, "nginx")
    os.makedirs(runtime, exist_ok=True)
    write_text(os.path.join(runtime, "nginx.conf"), nginx_configuration(www, args.port, runtime))


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest="command", required=True)
    packages = commands.add_parser("packages")
    packages.add_argument("--bin", required=True)
    packages.add_argument("--out", required=True)
    site = commands.add_parser("site")
    site.add_argument("--packages", required=True)
    site.add_argument("--out", required=True)
    site.add_argument("--base-url", required=True)
    site.add_argument("--port", type=int, required=True)
    site.add_argument("--client", help="the installer served as the newer client")
    site.add_argument("--client-version", default=CLIENT_VERSION)
    site.add_argument("--min-client-version", default=CLIENT_VERSION)
    site.add_argument("--main-package", choices=sorted(MAIN_PACKAGES), default="release")
    site.add_argument("--pid", default="FWXPRO-180-WW")
    site.add_argument("--no-prerequisite", action="store_true")
    site.add_argument("--runtime-prerequisite", action="store_true",
                      help="list the prerequisite package %s before the prerequisite program" % RUNTIME_PACKAGE)
    site.add_argument("--slow-runtime-prerequisite", action="store_true",
                      help="list the prerequisite package %s, whose msiexec runs 35 s" % SLOW_RUNTIME_PACKAGE)
    site.add_argument("--version-check-url", help="the server manifest's URL (default: BASE_URL/version.xml)")
    site.add_argument("--client-url", help="the newer client's URL (default: BASE_URL/client/%s)" % CLIENT_NAME)
    site.add_argument("--client-signer", action="append", default=[], metavar="KEY_SHA256",
                      help="a key a newer client may be signed with (client_signer; repeatable)")
    site.add_argument("--download-attempts", type=int, default=4,
                      help="how often the installer tries each download (default 4)")
    site.add_argument("--standalone", action="store_true",
                      help="a standalone package: nothing is downloaded, the files lie in the work folders")
    args = parser.parse_args(argv)
    if args.command == "packages":
        make_packages(args.bin, args.out)
    else:
        make_site(args)


if __name__ == "__main__":
    main(sys.argv[1:])
