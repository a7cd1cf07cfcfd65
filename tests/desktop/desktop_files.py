#!/usr/bin/env python3
"""Checks the files the desktop reads: the desktop entry and the AppStream data with their
validators, the MIME package with update-mime-database, and that the desktop entry claims a
MIME type for every extension the viewer reads.

Usage: desktop_files.py SOURCE_DIR WORK_DIR
"""
import os
import re
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ET

APP_ID = "org.example.tavelune.Tavelune"
NS = "{http://www.freedesktop.org/standards/shared-mime-info}"
SYSTEM_MIME = "/usr/share/mime/packages/freedesktop.org.xml"
# Camera RAW files go to the RAW decoder, outside the format registry.
RAW_EXTENSIONS = "raw kdc dcr dc2 crw cr2 mrw nef orf pef raf srf x3f cam dng".split()
# Extensions no MIME type names, here or in the shared database: a desktop cannot offer the
# viewer for them (they open from the program itself).
UNNAMED = {"win", "scr", "pic", "fax", "dc2", "cam"}

failures = []


def check(ok, text):
    if not ok:
        failures.append(text)


def run(args):
    result = subprocess.run(args, capture_output=True, text=True)
    out = (result.stdout + result.stderr).strip()
    print(f"$ {' '.join(args)}\n{out}" if out else f"$ {' '.join(args)}")
    return result.returncode


def registry_extensions(source):
    text = open(os.path.join(source, "src/formats/FormatRegistry.cpp"), encoding="utf-8").read()
    found = []
    for group in re.findall(r'\{&gc\w+, "([a-z0-9 ]+)"', text):
        found += group.split()
    return found


def mime_globs(paths):
    """Extension -> canonical types, and alias -> canonical, from shared-mime-info files."""
    globs, aliases = {}, {}
    for path in paths:
        for node in ET.parse(path).getroot():
            kind = node.get("type")
            for alias in node.findall(NS + "alias"):
                aliases[alias.get("type")] = kind
            for glob in node.findall(NS + "glob"):
                pattern = glob.get("pattern").lower()
                if pattern.startswith("*."):
                    globs.setdefault(pattern[2:], set()).add(kind)
    return globs, aliases


def main():
    source, work = sys.argv[1:3]
    data = os.path.join(source, "data")
    desktop = os.path.join(data, APP_ID + ".desktop")
    metainfo = os.path.join(data, APP_ID + ".metainfo.xml")
    package = os.path.join(data, "tavelune-mime.xml")

    check(run(["desktop-file-validate", desktop]) == 0, "desktop-file-validate failed")
    check(run(["appstreamcli", "validate", "--no-net", "--pedantic", metainfo]) == 0,
          "appstreamcli validate failed")

    # The MIME package compiles, and the compiled database maps our extensions to our types.
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(os.path.join(work, "packages"))
    shutil.copy(package, os.path.join(work, "packages", "tavelune.xml"))
    check(run(["update-mime-database", "-V", work]) == 0, "update-mime-database failed")
    compiled = open(os.path.join(work, "globs2"), encoding="utf-8").read()
    for kind, ext in [("application/x-tavelune-sequence", "stl"),
                      ("application/x-tavelune-theme", "tlt"),
                      ("image/x-ostrevalden-oxi", "oxi"), ("image/x-ostrevalden-oxs", "oxs"),
                      ("image/heif", "hif")]:
        check(f":{kind}:*.{ext}" in compiled, f"*.{ext} is not {kind} in the compiled database")

    # Every extension the viewer reads has one of its types in the desktop entry.
    claimed = set()
    for line in open(desktop, encoding="utf-8"):
        if line.startswith("MimeType="):
            claimed = {t for t in line.strip()[len("MimeType="):].split(";") if t}
    globs, aliases = mime_globs([SYSTEM_MIME, package])
    claimed_canonical = {aliases.get(t, t) for t in claimed}
    extensions = registry_extensions(source)
    check(len(extensions) == 53, f"{len(extensions)} registered extensions, not 53")
    uncovered = set()
    for ext in extensions + RAW_EXTENSIONS + ["stl", "tlt"]:
        kinds = {aliases.get(k, k) for k in globs.get(ext, set())}
        if not kinds & claimed_canonical:
            uncovered.add(ext)
    check(uncovered == UNNAMED,
          f"extensions without a claimed type: {sorted(uncovered)}, expected {sorted(UNNAMED)}")
    # And nothing claimed is unknown to both databases.
    known = {k for kinds in globs.values() for k in kinds} | set(aliases)
    check(claimed <= known | {"image/x-dcraw"}, f"unknown types: {sorted(claimed - known)}")

    for f in failures:
        print("FAILED:", f)
    print("PASSED" if not failures else "")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
