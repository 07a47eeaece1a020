#!/usr/bin/env python3
# What vexlar.exe tells Windows about itself, read from the PE file:
#
#   python3 tests/pe_resources.py --exe build-win/vexlar.exe --version "$(wine vexlar.exe --version)"
#
# - the version resource: its numeric file and product versions, shown as
#   `vexlar --version` shows a version, and its FileVersion and
#   ProductVersion texts are the version given; product name, description,
#   copyright and license are there;
# - the application manifest: asInvoker, and Windows 7, 8, 8.1 and 10/11
#   among the supported systems;
# - no time in the file: the PE header's and the resource directories'
#   time stamps are 0, so two builds of a commit give the same bytes.
# The last line is "N passed, N failed"; the exit status is 1 after any
# failure.
import argparse
import struct
import sys
import xml.etree.ElementTree as ET

RT_VERSION = 16
RT_MANIFEST = 24
SUPPORTED_OS = {
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "Windows 8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "Windows 10 and 11",
}


class PeFile:
    """The headers, sections and resources of a PE32+ file."""

    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        (_, sections, self.time_stamp, _, _, optional_size, _) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        if struct.unpack_from("<H", data, optional)[0] != 0x20B:
            raise ValueError("not PE32+")
        # Data directory 2 holds the resources; the directories start at 112
        # in a PE32+ optional header.
        self.resource_rva, self.resource_size = struct.unpack_from("<II", data, optional + 112 + 2 * 8)
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            _, virtual_size, rva, raw_size, raw = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((rva, max(virtual_size, raw_size), raw))

    def offset(self, rva):
        for start, size, raw in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError("RVA %#x in no section" % rva)

    def resources(self):
        """(type, name, language, bytes) of every resource, and the time
        stamps of the resource directories."""
        base = self.offset(self.resource_rva)
        found, stamps = [], []

        def walk(directory, path):
            _, stamp, _, _, named, ids = struct.unpack_from("<IIHHHH", self.data, base + directory)
            stamps.append(stamp)
            for i in range(named + ids):
                name, target = struct.unpack_from("<II", self.data, base + directory + 16 + 8 * i)
                if target & 0x80000000:
                    walk(target & 0x7FFFFFFF, path + [name])
                else:
                    rva, size, _, _ = struct.unpack_from("<IIII", self.data, base + target)
                    start = self.offset(rva)
                    found.append(tuple(path + [name]) + (self.data[start:start + size],))

        walk(0, [])
        return found, stamps


def read_block(data, at):
    """One block of a version resource at `at`: (key, value, children, end).
    A text value (type 1) is decoded; blocks and values are 32-bit aligned."""
    length, value_length, kind = struct.unpack_from("<HHH", data, at)
    end = at + length
    key_end = at + 6
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[at + 6:key_end].decode("utf-16-le")
    value_at = (key_end + 2 + 3) & ~3
    if kind == 1:
        value = data[value_at:value_at + 2 * value_length].decode("utf-16-le").rstrip("\0")
        value_end = value_at + 2 * value_length
    else:
        value = data[value_at:value_at + value_length]
        value_end = value_at + value_length
    children = []
    child = (value_end + 3) & ~3
    while child < end:
        block = read_block(data, child)
        children.append(block)
        child = (block[3] + 3) & ~3
    return key, value, children, end


def version_info(data):
    """The fixed versions (file, product) as 4-tuples and the strings of
    every string table."""
    key, fixed, children, _ = read_block(data, 0)
    if key != "VS_VERSION_INFO":
        raise ValueError("no VS_VERSION_INFO")
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed, 0)
    if signature != 0xFEEF04BD:
        raise ValueError("no VS_FIXEDFILEINFO")

    def parts(ms, ls):
        return (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)

    strings = {}
    for child_key, _, tables, _ in children:
        if child_key == "StringFileInfo":
            for _, _, entries, _ in tables:
                strings.update({name: value for name, value, _, _ in entries})
    return parts(file_ms, file_ls), parts(product_ms, product_ls), strings


def shown(parts):
    """A numeric version as `vexlar --version` shows it, or None when its
    fourth part is not 0."""
    major, minor, patch, fourth = parts
    return "%d.%02d.%d" % (major, minor, patch) if fourth == 0 else None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--version", required=True, help="what `vexlar.exe --version` printed")
    args = parser.parse_args()
    words = args.version.split()
    version = words[1] if len(words) == 2 and words[0] == "vexlar" else None

    with open(args.exe, "rb") as f:
        pe = PeFile(f.read())
    resources, stamps = pe.resources()
    by_type = {}
    for kind, *_, data in resources:
        by_type.setdefault(kind, []).append(data)

    checks = []
    checks.append(("--version printed \"vexlar <version>\"", version is not None, args.version))
    checks.append(("no time in the PE header", pe.time_stamp == 0, "%#x" % pe.time_stamp))
    checks.append(("no time in the resource directories", set(stamps) == {0}, str(stamps)))

    versions = by_type.get(RT_VERSION, [])
    checks.append(("one version resource", len(versions) == 1, "%d found" % len(versions)))
    if len(versions) == 1:
        file_version, product_version, strings = version_info(versions[0])
        for name, parts in (("file", file_version), ("product", product_version)):
            checks.append(("the numeric %s version is --version's" % name, shown(parts) == version,
                           "%s, --version: %s" % (".".join(map(str, parts)), version)))
        for name in ("FileVersion", "ProductVersion"):
            checks.append(("%s is --version's" % name, strings.get(name) == version,
                           "%r, --version: %s" % (strings.get(name), version)))
        expected = [("ProductName", lambda v: v == "vexlar"),
                    ("OriginalFilename", lambda v: v == "vexlar.exe"),
                    ("FileDescription", lambda v: ".kolvo" in v and "mission.pld" in v),
                    ("LegalCopyright", lambda v: "Copyright" in v and "MIT License" in v)]
        for name, test in expected:
            value = strings.get(name)
            checks.append(("%s as it should be" % name, value is not None and test(value), repr(value)))

    manifests = by_type.get(RT_MANIFEST, [])
    checks.append(("one application manifest", len(manifests) == 1, "%d found" % len(manifests)))
    if len(manifests) == 1:
        root = ET.fromstring(manifests[0])
        levels = [e.get("level") for e in root.iter() if e.tag.endswith("}requestedExecutionLevel")]
        checks.append(("the manifest asks for asInvoker", levels == ["asInvoker"], str(levels)))
        systems = {e.get("Id") for e in root.iter() if e.tag.endswith("}supportedOS")}
        for guid, name in SUPPORTED_OS.items():
            checks.append(("the manifest names %s" % name, guid in systems, str(sorted(systems))))

    failed = 0
    for name, ok, detail in checks:
        print(("ok   " if ok else "FAIL ") + name + ("" if ok else ": " + detail))
        failed += not ok
    print("%d passed, %d failed" % (len(checks) - failed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
