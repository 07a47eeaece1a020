#!/usr/bin/env python3
# What vexlar.exe tells Windows about itself, read from the PE file:
#
#   python3 tests/pe_resources.py --exe build-win/vexlar.exe --version "$(wine vexlar.exe --version)"
#
# - the version resource: its numeric file and product versions, shown as
#   `vexlar --version` shows a version, and its FileVersion and
#   ProductVersion texts are the version given; product name, file name,
#   description and copyright are there;
# - the application manifest: asInvoker, and Windows 7, 8, 8.1 and 10/11
#   among the supported systems.
# Resources lie in the file as they were compiled: the version block's
# texts in UTF-16, the manifest as its XML. (That the file holds no time:
# the reproducible leg builds it twice and compares the bytes.)
# The last line is "N passed, N failed"; the exit status is 1 after any
# failure.
import argparse
import re
import struct
import sys
import xml.etree.ElementTree as ET

from e2e_util import check, finish, read

SUPPORTED_OS = {
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "Windows 8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "Windows 10 and 11",
}


def string_value(data, key):
    """The text of `key` in the version block's string table: the key in
    UTF-16 and its NUL, padding NULs, then the value up to its NUL."""
    at = data.find((key + "\0").encode("utf-16-le"))
    if at < 0:
        return None
    at += 2 * (len(key) + 1)
    while data[at:at + 2] == b"\0\0":
        at += 2
    end = at
    while data[end:end + 2] != b"\0\0":
        end += 2
    return data[at:end].decode("utf-16-le")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--version", required=True, help="what `vexlar.exe --version` printed")
    args = parser.parse_args()
    words = args.version.split()
    version = words[1] if len(words) == 2 and words[0] == "vexlar" else None
    check("--version printed \"vexlar <version>\"", version, args.version)
    data = read(args.exe)

    # VS_FIXEDFILEINFO: its signature, the structure's version, then the
    # file and product versions as two 32-bit halves each.
    fixed = data.find(struct.pack("<I", 0xFEEF04BD))
    check("one version resource", fixed > 0 and data.find(data[fixed:fixed + 4], fixed + 4) < 0)
    _, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", data, max(fixed, 0))
    for name, ms, ls in (("file", file_ms, file_ls), ("product", product_ms, product_ls)):
        shown = "%d.%02d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16) if ls & 0xFFFF == 0 else None
        check("the numeric %s version is --version's" % name, shown == version, shown)
    for name in ("FileVersion", "ProductVersion"):
        value = string_value(data, name)
        check("%s is --version's" % name, value == version, value)
    for name, ok in (("ProductName", lambda v: v == "vexlar"),
                     ("OriginalFilename", lambda v: v == "vexlar.exe"),
                     ("FileDescription", lambda v: ".kolvo" in v and "mission.pld" in v),
                     ("LegalCopyright", lambda v: "Copyright" in v and "MIT License" in v)):
        value = string_value(data, name)
        check("%s as it should be" % name, value is not None and ok(value), value)

    manifests = re.findall(rb"<assembly\b.*?</assembly>", data, re.S)
    check("one application manifest", len(manifests) == 1, len(manifests))
    root = ET.fromstring(manifests[0] if manifests else b"<none/>")
    levels = [e.get("level") for e in root.iter() if e.tag.endswith("}requestedExecutionLevel")]
    check("the manifest asks for asInvoker", levels == ["asInvoker"], levels)
    systems = {e.get("Id") for e in root.iter() if e.tag.endswith("}supportedOS")}
    for guid, name in SUPPORTED_OS.items():
        check("the manifest names %s" % name, guid in systems, sorted(systems))
    return finish()


if __name__ == "__main__":
    sys.exit(main())
