#!/usr/bin/env python3
# What only a real Windows process of vexlar shows, run under Wine:
#
#   python3 tests/windows_e2e.py --exe build-win/vexlar.exe [--zip build-win/vexlar-*-win64.zip]
#
# The conversions themselves are data cases (tests/cases/), which
# vexlar_tests.exe runs in its own process. Here vexlar.exe starts the way a
# user starts it, at a Windows prompt ("wine cmd /c LINE"), so that argv[0] and
# the arguments are what cmd passes on. Each run of RUNS is checked for its exit
# status, the files it created (the log, and mission.pld beside the source when
# it converts: both compared with the bundled example's expected files), CR LF
# line ends in mission.pld, the log and the console, and a console whose lines,
# empty ones left out, are the log's. The release archive must hold the program,
# the composition data, the example, the user README, LICENSE.txt and
# CHANGELOG.md, and convert the example where unpacked. A read-only
# mission.pld is not replaced (on POSIX it is: tests/faults_test.cc). How a
# source path resolves, and what a mission.pld that cannot be written or a
# path beyond 260 characters gives, vexlar_e2e_tests.exe shows in its own
# process.
#
# WINEPREFIX must name an initialised prefix; work folders go to its drive C:.
# The last line is "N passed, N failed"; the exit status is 1 after any failure.
import difflib
import ntpath
import os
import re
import shutil
import subprocess
import sys
import tempfile
import zipfile

from e2e_util import SOURCE, arguments, check, finish, read, write

EXPECT = os.path.join(SOURCE, "tests", "cases", "bundled-example", "expect", "")
KOLVO = os.path.join(SOURCE, "examples", "attack.kolvo")
HEADER = re.compile(rb"//-{52}\n//   Program: vexlar\n//   Version: [0-9.]+\n"
                    rb"//   Start time: \d{1,2}\.\d{1,2}\.\d{4} \d{1,2}:\d{1,2}:\d{1,2}\n//-{52}\n")

# (current folder, command line, exit status, log, mission.pld or None, log
# body). {X} is the work folder's Windows path, {LOG} the example's expected
# log, {BIN} the program folder: the log's folder, or the run's seventh field.
# tools\ holds vexlar.exe and the composition data, both saved with CR LF;
# Missions\ the example as Attack.KOLVO, with CR LF; a.b\ and the work folder
# a vexlar.exe alone. Each folder of NAMES holds tools\ and Missions\ of its own.
CONVERTS = (0, "tools/vexlar.log", "Missions/mission.pld", "{LOG}")
NO_FILE = (1, "a.b/vexlar.log", None, "ERROR: No file for converting!\n")
RUNS = [
    # argv[0] with '\': the program folder is argv[0] up to its last '\'; the
    # source path resolves against the current folder.
    ("Missions", r"{X}\tools\vexlar.exe Attack.KOLVO") + CONVERTS,
    # argv[0] without '\', as typed in the program's folder: the folder comes
    # from _fullpath, the log is named after argv[0].
    ("tools", r"vexlar.exe {X}\Missions\Attack.KOLVO") + CONVERTS,
    ("tools", r"vexlar {X}\Missions\Attack.KOLVO") + CONVERTS,
    # The log is argv[0] up to the last '.' of its file name, then ".log".
    (".", r"{X}\a.b\vexlar intro") + NO_FILE,
    (".", r"{X}\a.b\vexlar.exe intro") + NO_FILE,
    ("a.b", "vexlar intro") + NO_FILE,
    (".", "vexlar.exe intro", 1, "vexlar.log", None, NO_FILE[3]),
]
# Folder names beyond any ANSI code page: the program and the mission under
# them convert as in the ASCII folders, started with its full path or through
# PATH (the log then goes beside the source, named after the bare argv[0]).
# A line given as a tuple is the program and its arguments, started without
# cmd: Wine would escape the quotes that a path with blanks needs on cmd's
# line. With a seventh field, PATH holds that folder.
NAMES = ["\u0141ukasz", "Pawe\u0142 \u017b\u00f3\u0142w", "\u6771\u4eac"]
for name in NAMES:
    RUNS += [
        (name + "/Missions", ("{X}\\%s\\tools\\vexlar.exe" % name, "Attack.KOLVO"), 0,
         name + "/tools/vexlar.log", name + "/Missions/mission.pld", "{LOG}"),
        (name + "/Missions", ("cmd", "/c", "vexlar", "Attack.KOLVO"), 0,
         name + "/Missions/vexlar.log", name + "/Missions/mission.pld", "{LOG}", name + "/tools"),
    ]


def lf(data):
    return data.replace(b"\r\n", b"\n")


def diff(name, want, got):
    lines = difflib.unified_diff(want.decode("latin-1").splitlines(True),
                                 got.decode("latin-1").splitlines(True), name, "actual", n=2)
    return "".join(lines)[:3000]


def files(root):
    return {os.path.relpath(os.path.join(d, n), root).replace(os.sep, "/")
            for d, _, names in os.walk(root) for n in names}


def folder(drive):
    """A fresh folder on drive C:: its POSIX and Windows paths."""
    unix = tempfile.mkdtemp(prefix="t", dir=os.path.join(drive, "e2e"))
    return unix, "C:\\" + os.path.relpath(unix, drive).replace("/", "\\")


def problems(checks):
    """The problems of `checks`, pairs of a result and what it means when false."""
    return [problem for ok, problem in checks if not ok]


def start(wine, unix, path, run):
    """Starts `run` (one of RUNS) in the work folder `unix`, whose Windows path
    is `path`, and removes what it created: the problems seen."""
    cwd, line, status, log, mission, body = run[:6]
    bin = ntpath.join(path, (run[6] if len(run) > 6 else os.path.dirname(log)).replace("/", "\\"))
    fill = lambda text: (text.replace("{LOG}", read(EXPECT + "log").decode())
                         .replace("{BIN}", ntpath.join(bin, "")).replace("{X}", path).encode())
    before = files(unix)
    # Wine takes the arguments and the file names as UTF-8 only in a UTF-8 locale.
    env = dict(os.environ, LANG="C.UTF-8", LC_ALL="C.UTF-8")
    if len(run) > 6:
        env["WINEPATH"] = bin
    argv = [fill(a) for a in line] if isinstance(line, tuple) else ["cmd", "/c", fill(line)]
    p = subprocess.run([wine] + argv, cwd=os.path.join(unix, cwd), capture_output=True,
                       timeout=120, env=env)
    created = files(unix) - before
    out = dict({"console": p.stdout}, **{n: read(os.path.join(unix, n)) for n in created})
    for name in created:
        os.remove(os.path.join(unix, name))
    match = HEADER.match(lf(out.get(log, b"")))
    got = lf(out[log])[match.end():] if match else b"no log header"
    texts = [("log", fill(body), got), ("console", got, lf(p.stdout).replace(b"\n\n", b"\n"))]
    if mission in out:
        texts.append(("mission.pld", read(EXPECT + "mission.pld"), lf(out[mission])))
    return problems([(p.returncode == status, "exit status %d" % p.returncode),
                     (created == {log, mission} - {None}, "created %s" % sorted(created))] +
                    [(data and data.count(b"\n") == data.count(b"\r\n"),
                      "%s is empty or has a line end other than CR LF" % name)
                     for name, data in out.items()] +
                    [(want == have, diff(name, want, have)) for name, want, have in texts])


def prompt_runs(exe, wine, drive):
    """The work folder laid out for RUNS; each run is one check."""
    unix, path = folder(drive)
    crlf = lambda data: lf(data).replace(b"\n", b"\r\n")
    data = os.path.join(SOURCE, "data")
    tools = ["tools"] + [n + "/tools" for n in NAMES]
    for where in tools:
        for name in files(data):
            write(os.path.join(unix, where, name), crlf(read(os.path.join(data, name))))
    for where in tools + ["a.b", "."]:
        os.makedirs(os.path.join(unix, where), exist_ok=True)
        shutil.copy(exe, os.path.join(unix, where, "vexlar.exe"))
    for where in ["Missions"] + [n + "/Missions" for n in NAMES]:
        write(os.path.join(unix, where, "Attack.KOLVO"), crlf(read(KOLVO)))
    return [("prompt: " + " ".join(run[1] if isinstance(run[1], tuple) else [run[1]])[:60],
             lambda r=run: start(wine, unix, path, r)) for run in RUNS]


def release_archive(wine, drive, archive):
    unix, path = folder(drive)
    with zipfile.ZipFile(archive) as z:
        names = set(z.namelist())
        z.extractall(unix)
    top = sorted(names)[0].split("/")[0]
    want = ["vexlar.exe", "README.txt", "LICENSE.txt", "CHANGELOG.md", "examples/attack.kolvo",
            "DynO.cpp", "DynO/checkpoint.txt", "DynO/fuel_depot.txt", "DynO/radar_site.txt",
            "DynO/field_hospital.txt"]
    missing = [n for n in want if top + "/" + n not in names]
    # The user's README, not the developers'; the texts with CR LF for Notepad.
    for name in ("README.txt", "LICENSE.txt"):
        text = read(os.path.join(unix, top, name)) if top + "/" + name in names else b""
        if text.count(b"\n") != text.count(b"\r\n") or b"cmake" in text:
            missing.append(name + " with CR LF and no build commands")
    write(os.path.join(unix, "missions", "attack.kolvo"), read(KOLVO))
    run = (".", r"{X}\%s\vexlar.exe {X}\missions\attack.kolvo" % top, 0, top + "/vexlar.log",
           "missions/mission.pld", "{LOG}")
    return problems([(not missing, "archive lacks %s" % missing)]) + start(wine, unix, path, run)


def read_only_mission(wine, drive, exe):
    """A read-only mission.pld is not replaced: "Cannot write mission file!",
    status 1, the old file as it was and no temporary file beside it."""
    unix, path = folder(drive)
    shutil.copy(exe, os.path.join(unix, "vexlar.exe"))
    write(os.path.join(unix, "m", "empty.kolvo"), b"")
    mission = os.path.join(unix, "m", "mission.pld")
    write(mission, b"keep me")
    os.chmod(mission, 0o444)  # Wine shows a file without write permission as read-only
    p = subprocess.run([wine, "cmd", "/c", path + r"\vexlar.exe " + path + r"\m\empty.kolvo"],
                       cwd=unix, capture_output=True, timeout=120)
    m = sorted(os.listdir(os.path.join(unix, "m")))
    return problems([(p.returncode == 1, "exit status %d" % p.returncode),
                     (b"Cannot write mission file!\r\nPath: " in p.stdout,
                      "console: %r" % p.stdout[-200:]),
                     (read(mission) == b"keep me", "mission.pld changed"),
                     (m == ["empty.kolvo", "mission.pld"], "m holds %s" % m)])


def main():
    a = arguments(("--zip", {"help": "the release archive"}),
                  ("--wine", {"default": os.environ.get("WINE", "wine")}))
    drive = os.path.join(os.environ["WINEPREFIX"], "drive_c")
    os.makedirs(os.path.join(drive, "e2e"), exist_ok=True)
    try:
        checks = prompt_runs(a.exe, a.wine, drive)
        checks.append(("read-only mission.pld", lambda: read_only_mission(a.wine, drive, a.exe)))
        if a.zip:
            checks.append(("zip: " + os.path.basename(a.zip),
                           lambda: release_archive(a.wine, drive, a.zip)))
        for name, problems_of in checks:
            try:
                seen = problems_of()
            except Exception as e:  # a hang or a missing file is a failure too
                seen = ["harness: %r" % e]
            check(name, not seen, "".join("\n    " + p.replace("\n", "\n    ") for p in seen))
    finally:
        shutil.rmtree(os.path.join(drive, "e2e"), ignore_errors=True)
    sys.exit(finish())


if __name__ == "__main__":
    main()
