#!/usr/bin/env python3
"""Rewrites a .tar.gz or .zip package in place so that its bytes depend on
its files' names and contents alone:

    python3 packaging/normalize_archive.py PACKAGE

Entries are sorted by name; each is owned by root (0:0) and has the mode
755 (folders, and files with an execute bit) or 644; every time is
SOURCE_DATE_EPOCH (a ZIP's as UTC, its earliest 1980-01-01). The gzip
stream carries no name and no time. Without SOURCE_DATE_EPOCH the entries
are sorted and their times kept.
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
    else:
        sys.exit("normalize_archive.py: not a .tar.gz or .zip: " + path)
    with open(path + ".tmp", "wb") as f:
        f.write(data)
    os.replace(path + ".tmp", path)


if __name__ == "__main__":
    main()
