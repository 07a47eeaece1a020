#!/usr/bin/env python3
# packaging/normalize_archive.py on archives made the way a build makes them
# at different times, in different folders, under different umasks:
#
#   python3 tests/normalize_archive_test.py
#
# For each format (.tar.gz, .zip, .deb), two archives of the same files that
# differ in entry order, owners, modes and times must come out as the same
# bytes, with the entries sorted, owned by root, modes 755/644 and every time
# SOURCE_DATE_EPOCH; a second pass changes nothing.
# The last line is "N passed, N failed"; the exit status is 1 after any
# failure.
import gzip
import io
import os
import subprocess
import sys
import tarfile
import tempfile
import time
import zipfile

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
NORMALIZE = os.path.join(SOURCE, "packaging", "normalize_archive.py")
EPOCH = 1796600000  # 2026-12-07, a time after 1980 as a ZIP needs
# (name, folder?, contents, executable?)
FILES = [
    ("pkg/bin/", True, b"", False),
    ("pkg/bin/vexlar", False, b"\x7fELF program", True),
    ("pkg/share/", True, b"", False),
    ("pkg/share/doc/", True, b"", False),
    ("pkg/share/doc/README.md", False, b"# vexlar\n", False),
    ("pkg/share/doc-extra", False, b"x", False),
]
# How each build differs: entry order, owner, mode bits the umask leaves,
# the time of the build.
BUILDS = [
    (FILES, 1000, 0o022, 1800000000),
    (list(reversed(FILES)), 0, 0o027, 1800000777),
]


def make_tar(path, files, owner, umask, when):
    with tarfile.open(path, "w:gz") as tar:
        for name, is_dir, data, executable in files:
            info = tarfile.TarInfo(name.rstrip("/"))
            info.type = tarfile.DIRTYPE if is_dir else tarfile.REGTYPE
            info.mode = (0o777 if is_dir or executable else 0o666) & ~umask
            info.uid = info.gid = owner
            info.uname = info.gname = "builder" if owner else "root"
            info.mtime = when
            info.size = len(data)
            tar.addfile(info, io.BytesIO(data) if not is_dir else None)


def make_zip(path, files, owner, umask, when):
    with zipfile.ZipFile(path, "w") as z:
        for name, is_dir, data, executable in files:
            info = zipfile.ZipInfo(name, date_time=time.localtime(when)[:6])
            mode = (0o777 if is_dir or executable else 0o666) & ~umask
            info.external_attr = ((0o40000 if is_dir else 0o100000) | mode) << 16
            z.writestr(info, data, compress_type=zipfile.ZIP_DEFLATED)


def make_deb(path, files, owner, umask, when):
    members = [(b"debian-binary", b"2.0\n"), (b"control.tar.gz", b"control"),
               (b"data.tar.gz", b"data")]
    out = bytearray(b"!<arch>\n")
    for name, data in members:
        out += (name.ljust(16) + str(EPOCH).encode().ljust(12) + str(owner).encode().ljust(6) +
                str(owner).encode().ljust(6) + ("%o" % (0o100666 & ~umask)).encode().ljust(8) +
                str(len(data)).encode().ljust(10) + b"`\n")
        out += data + (b"\n" if len(data) & 1 else b"")
    with open(path, "wb") as f:
        f.write(out)


def tar_entries(path):
    with tarfile.open(path) as tar:
        return [(m.name, m.uid, m.gid, m.uname, m.gname, m.mode, m.mtime) for m in tar]


def zip_entries(path):
    with zipfile.ZipFile(path) as z:
        return [(i.filename, i.external_attr >> 16, i.date_time) for i in z.infolist()]


def deb_entries(path):
    with open(path, "rb") as f:
        data = f.read()
    entries, at = [], 8
    while at < len(data):
        header = data[at:at + 60]
        entries.append((header[:16].strip(), header[28:34].strip(), header[34:40].strip(),
                        header[40:48].strip()))
        size = int(header[48:58])
        at += 60 + size + (size & 1)
    return entries


def expected_tar():
    return [(name.rstrip("/"), 0, 0, "root", "root", 0o755 if is_dir or x else 0o644, EPOCH)
            for name, is_dir, _, x in sorted(FILES, key=lambda f: f[0].rstrip("/"))]


def expected_zip():
    when = time.gmtime(EPOCH)[:6]
    when = when[:5] + (when[5] // 2 * 2,)  # a ZIP keeps even seconds
    return [(name, (0o40755 if is_dir else 0o100755 if x else 0o100644), when)
            for name, is_dir, _, x in sorted(FILES)]


def expected_deb():
    return [(n, b"0", b"0", b"100644") for n in (b"debian-binary", b"control.tar.gz", b"data.tar.gz")]


FORMATS = [
    (".tar.gz", make_tar, tar_entries, expected_tar),
    (".zip", make_zip, zip_entries, expected_zip),
    (".deb", make_deb, deb_entries, expected_deb),
]


def normalize(path):
    # A zone away from UTC: a ZIP's times must not be the builder's local ones.
    env = dict(os.environ, SOURCE_DATE_EPOCH=str(EPOCH), TZ="EST+5")
    return subprocess.run([sys.executable, NORMALIZE, path], env=env, capture_output=True, text=True)


def main():
    passed = failed = 0

    def check(name, ok, detail=""):
        nonlocal passed, failed
        passed += ok
        failed += not ok
        print(("ok   " if ok else "FAIL ") + name + ("" if ok else "\n     " + str(detail)))

    with tempfile.TemporaryDirectory() as folder:
        for extension, make, entries, expected in FORMATS:
            paths = []
            for number, (files, owner, umask, when) in enumerate(BUILDS):
                path = os.path.join(folder, "build%d%s" % (number, extension))
                make(path, files, owner, umask, when)
                run = normalize(path)
                check("%s: build %d normalized" % (extension, number), run.returncode == 0, run.stderr)
                paths.append(path)
            got = [entries(path) for path in paths]
            check("%s: entries in order, owned by root, fixed modes and times" % extension,
                  got[0] == expected(), "%s\n     expected %s" % (got[0], expected()))
            with open(paths[0], "rb") as a, open(paths[1], "rb") as b:
                first, second = a.read(), b.read()
            check("%s: both builds give the same bytes" % extension, first == second)
            normalize(paths[0])
            with open(paths[0], "rb") as a:
                check("%s: a second pass changes nothing" % extension, a.read() == first)
            if extension == ".tar.gz":
                # The gzip header: no time (bytes 4-7), no file name (flag 8).
                check(".tar.gz: the gzip stream holds no time and no name",
                      first[4:8] == b"\0\0\0\0" and not first[3] & 0x08, first[:10].hex())
                with gzip.open(paths[0]) as z:
                    check(".tar.gz: still a gzip stream", len(z.read()) > 0)
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
