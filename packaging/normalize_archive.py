#!/usr/bin/env python3
"""Rewrites a .tar.gz, .zip or .deb package in place so that its bytes
depend on its files' names and contents alone:

    python3 packaging/normalize_archive.py PACKAGE

In a .tar.gz or .zip, entries are sorted by name; each is owned by root
(0:0) and has the mode 755 (folders, and files with an execute bit) or 644;
every time is SOURCE_DATE_EPOCH (a ZIP's as UTC, its earliest 1980-01-01).
The gzip stream carries no name and no time. Without SOURCE_DATE_EPOCH the
entries are sorted and their times kept.

A .deb is an ar archive of three members, each already the same bytes from
build to build; only their headers are set: owner 0:0 and mode 644, as
dpkg-deb writes them (CPack takes the mode from the umask).
"""
import gzip
import io
import os
import sys
import tarfile
import time
import zipfile

ZIP_EARLIEST = 315532800  # 1980-01-01 00:00:00 UTC, the first DOS date


def mode_of(is_dir, mode):
    return 0o755 if is_dir or mode & 0o111 else 0o644


def normalize_tar(path, epoch):
    with tarfile.open(path, "r:gz") as source:
        members = [(m, source.extractfile(m).read() if m.isfile() else None)
                   for m in source.getmembers()]
    members.sort(key=lambda item: item[0].name)
    buffer = io.BytesIO()
    with gzip.GzipFile(filename="", mode="wb", compresslevel=9, fileobj=buffer, mtime=0) as zipped:
        with tarfile.open(fileobj=zipped, mode="w", format=tarfile.GNU_FORMAT) as target:
            for member, data in members:
                member.uid = member.gid = 0
                member.uname = member.gname = "root"
                if not member.issym():
                    member.mode = mode_of(member.isdir(), member.mode)
                if epoch is not None:
                    member.mtime = epoch
                target.addfile(member, io.BytesIO(data) if data is not None else None)
    return buffer.getvalue()


def normalize_zip(path, epoch):
    buffer = io.BytesIO()
    with zipfile.ZipFile(path) as source, zipfile.ZipFile(buffer, "w") as target:
        for info in sorted(source.infolist(), key=lambda i: i.filename):
            is_dir = info.is_dir()
            when = time.gmtime(max(epoch, ZIP_EARLIEST))[:6] if epoch is not None else info.date_time
            entry = zipfile.ZipInfo(info.filename, date_time=when)
            entry.create_system = 3  # Unix: the mode below is read
            entry.external_attr = ((0o40000 if is_dir else 0o100000) |
                                   mode_of(is_dir, info.external_attr >> 16)) << 16
            if is_dir:
                entry.external_attr |= 0x10  # the MS-DOS folder bit
                target.writestr(entry, b"", compress_type=zipfile.ZIP_STORED)
            else:
                target.writestr(entry, source.read(info), compress_type=zipfile.ZIP_DEFLATED,
                                compresslevel=9)
    return buffer.getvalue()


def normalize_deb(path):
    with open(path, "rb") as f:
        data = bytearray(f.read())
    if data[:8] != b"!<arch>\n":
        raise ValueError(path + " is not an ar archive")
    at = 8
    while at < len(data):
        header = data[at:at + 60]
        if len(header) != 60 or header[58:60] != b"`\n":
            raise ValueError("%s: no ar member header at %d" % (path, at))
        data[at + 28:at + 40] = b"0".ljust(6) + b"0".ljust(6)  # owner, group
        data[at + 40:at + 48] = b"100644".ljust(8)  # mode
        size = int(header[48:58])
        at += 60 + size + (size & 1)
    return bytes(data)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    path = sys.argv[1]
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    epoch = int(epoch) if epoch else None
    if path.endswith(".tar.gz"):
        data = normalize_tar(path, epoch)
    elif path.endswith(".zip"):
        data = normalize_zip(path, epoch)
    elif path.endswith(".deb"):
        data = normalize_deb(path)
    else:
        sys.exit("normalize_archive.py: not a .tar.gz, .zip or .deb: " + path)
    with open(path + ".tmp", "wb") as f:
        f.write(data)
    os.replace(path + ".tmp", path)


if __name__ == "__main__":
    main()
