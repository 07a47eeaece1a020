#!/usr/bin/env python3
"""End-to-end checks of the Windows build of vexlar, run under Wine.

    python3 tests/windows_e2e.py --exe build-win/vexlar.exe --linux-exe build/vexlar \\
        [--cases DIR]... [--zip build-win/vexlar-VERSION-win64.zip]

Three groups of checks:
  windows/  what only Windows shows: the program folder from an argv[0] with '\\'
            and, without one, through _fullpath; drive-letter paths resolved and
            folded to lower case; the log path rules; mission.pld, the log and the
            console with CR LF; sources and composition data with CR LF.
  same/     vexlar.exe and the Linux build, given the same input, give the same
            exit status, mission.pld, console and log body once CR LF is read as
            LF and the folders are written as {M}, {BIN} and {SEP}: the bundled
            example and every case folder under each --cases DIR (folders with an
            expect/ folder: cmd, m/, bin/, crlf, invoke and expect/keep are used).
  zip/      the release archive, unpacked on drive C:, holds vexlar.exe, the sample
            composition data beside it and the README, and converts the example.

Every start of vexlar.exe goes through the Windows command interpreter
("wine cmd /c LINE"), so argv[0] and the arguments are what a user types at a
Windows prompt. WINEPREFIX must name an initialised prefix; a persistent
wineserver keeps each start cheap. Work folders go to drive C: of the prefix.
The last line is "N passed, N failed"; the exit status is 1 after any failure.
"""
import argparse
import difflib
import os
import re
import shutil
import subprocess
import sys
import tempfile
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(HERE)
EXAMPLE = os.path.join(SOURCE, "examples", "attack.kolvo")
HEADER = re.compile(
    rb"//-{52}\n//   Program: vexlar\n//   Version: 1\.00\.10\n"
    rb"//   Start time: \d{1,2}\.\d{1,2}\.\d{4} \d{1,2}:\d{1,2}:\d{1,2}\n//-{52}\n"
)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def lf(data):
    return data.replace(b"\r\n", b"\n")


def crlf(data):
    return lf(data).replace(b"\n", b"\r\n")


def bare_lf(data):
    """Whether `data` holds a line end that is not CR LF."""
    return data.count(b"\n") != data.count(b"\r\n")


def diff(name, want, got):
    w = want.decode("latin-1").splitlines(keepends=True)
    g = got.decode("latin-1").splitlines(keepends=True)
    lines = difflib.unified_diff(w, g, "expected " + name, "actual " + name, n=2)
    return "".join(lines)[:3000]


def copy_tree(src, dst, line_ends=None):
    for root, _, files in os.walk(src):
        for name in files:
            data = read(os.path.join(root, name))
            write(os.path.join(dst, os.path.relpath(root, src), name),
                  line_ends(data) if line_ends else data)


def log_body(path, problems):
    """The log after its five header lines, with CR LF read as LF."""
    if not os.path.exists(path):
        problems.append("no log at " + path)
        return b""
    text = lf(read(path))
    match = HEADER.match(text)
    if not match:
        problems.append("log header wrong: %r" % text[:300])
        return text
    return text[match.end():]


class Windows:
    """vexlar.exe and the folders on drive C: of the Wine prefix."""

    def __init__(self, exe, wine):
        self.exe = exe
        self.wine = wine
        self.drive = os.path.join(os.environ["WINEPREFIX"], "drive_c")
        os.makedirs(os.path.join(self.drive, "e2e"), exist_ok=True)

    def folder(self):
        """A fresh folder with a lower-case name: its POSIX and Windows paths."""
        unix = tempfile.mkdtemp(prefix="t", dir=os.path.join(self.drive, "e2e"))
        return unix, self.path(unix)

    def path(self, unix):
        rel = os.path.relpath(unix, self.drive)
        return "C:\\" + rel.replace("/", "\\")

    def install(self, unix_folder, data_line_ends=None, data=None):
        """vexlar.exe with the sample composition data (or `data`) beside it."""
        os.makedirs(unix_folder, exist_ok=True)
        shutil.copy(self.exe, os.path.join(unix_folder, "vexlar.exe"))
        copy_tree(data or os.path.join(SOURCE, "data"), unix_folder, data_line_ends)

    def run(self, line, cwd):
        """Runs `line` at a Windows prompt in `cwd`: (exit status, console)."""
        p = subprocess.run([self.wine, "cmd", "/c", line], cwd=cwd, capture_output=True,
                           timeout=120)
        return p.returncode, p.stdout


def run_linux(exe, argv0, args, cwd):
    p = subprocess.run([argv0] + args, executable=exe, cwd=cwd, capture_output=True,
                       timeout=120)
    return p.returncode, p.stdout


def normalise(text, folders, sep):
    """`text` with each (path, placeholder) of `folders` replaced, in either
    letter case, and the separator after a folder written as {SEP}."""
    for path, mark in folders:
        for form in (path, path.lower()):
            text = text.replace(form.encode(), mark.encode())
    for mark in (b"{BIN}DynO", b"{M}"):
        text = text.replace(mark + sep.encode(), mark + b"{SEP}")
    return text


class Output:
    """What one conversion gave: mission.pld, the log body and the console,
    line ends as LF, folders as {M}, {BIN} and {SEP}."""

    def __init__(self, mission, log, console):
        self.mission, self.log, self.console = mission, log, console


def compare(want, mission, log, console=None):
    """The problems of a Windows run against the Linux build's Output; a part
    given as None is not compared."""
    problems = []
    for name, w, g in (("mission.pld", want.mission, mission), ("log", want.log, log),
                       ("console", want.console, console)):
        if g is not None and w != g:
            problems.append(diff(name, w, g))
    return problems


class Linux:
    """The Linux build, for the output that vexlar.exe must match."""

    def __init__(self, exe):
        self.exe = os.path.abspath(exe)
        self.root = tempfile.mkdtemp(prefix="vexlar-e2e-")

    def convert(self, source, data=None, data_line_ends=None, args=None):
        """Converts `source` with the composition data beside the executable:
        mission.pld, and the log body and console with {BIN}, {M} and {SEP}."""
        work = tempfile.mkdtemp(prefix="t", dir=self.root)
        bin_dir = os.path.join(work, "bin")
        copy_tree(data or os.path.join(SOURCE, "data"), bin_dir, data_line_ends)
        shutil.copy(self.exe, os.path.join(bin_dir, "vexlar"))
        write(os.path.join(work, "m", "attack.kolvo"), source)
        _, console = run_linux(os.path.join(bin_dir, "vexlar"), os.path.join(bin_dir, "vexlar"),
                               (args or []) + [os.path.join(work, "m", "attack.kolvo")], work)
        problems = []
        body = log_body(os.path.join(bin_dir, "vexlar.log"), problems)
        folders = [(bin_dir + "/", "{BIN}"), (os.path.join(work, "m"), "{M}")]
        return Output(read(os.path.join(work, "m", "mission.pld")), normalise(body, folders, "/"),
                      normalise(console, folders, "/"))



# --- windows/: what only Windows shows -------------------------------------------


def program_folder_from_argv0(win, linux):
    """argv[0] with '\\': the folder is argv[0] up to its last '\\'; the
    relative source path resolves against the current folder."""
    problems = []
    unix, path = win.folder()
    win.install(os.path.join(unix, "tools"))
    write(os.path.join(unix, "m", "attack.kolvo"), read(EXAMPLE))
    status, console = win.run(path + "\\tools\\vexlar.exe attack.kolvo", os.path.join(unix, "m"))
    if status != 0:
        problems.append("exit status %d: %r" % (status, console[:500]))
    body = log_body(os.path.join(unix, "tools", "vexlar.log"), problems)
    config = ("DynO config file: %s\\tools\\DynO.cpp\n" % path).encode()
    if config not in body:
        problems.append("composition data not looked up beside vexlar.exe")
    mission = os.path.join(unix, "m", "mission.pld")
    if not os.path.exists(mission):
        return problems + ["no mission.pld in the source's folder"]
    folders = [(path + "\\tools\\", "{BIN}"), (path + "\\m", "{M}")]
    return problems + compare(linux.convert(read(EXAMPLE)), lf(read(mission)),
                              normalise(body, folders, "\\"))


def program_folder_through_fullpath(win, linux):
    """argv[0] without '\\' (as typed in the executable's folder): the folder
    comes from _fullpath, the log is the bare name's in the current folder."""
    problems = []
    unix, path = win.folder()
    tools = os.path.join(unix, "tools")
    win.install(tools)
    write(os.path.join(unix, "m", "attack.kolvo"), read(EXAMPLE))
    want = linux.convert(read(EXAMPLE))
    folders = [(path + "\\tools\\", "{BIN}"), (path + "\\m", "{M}")]
    for argv0 in ("vexlar.exe", "vexlar"):
        log = os.path.join(tools, "vexlar.log")
        if os.path.exists(log):
            os.remove(log)
        status, _ = win.run("%s %s\\m\\attack.kolvo" % (argv0, path), tools)
        if status != 0:
            problems.append("%s: exit status %d" % (argv0, status))
        body = log_body(log, problems)
        config = ("DynO config file: %s\\tools\\DynO.cpp\n" % path).encode()
        if config not in body:
            problems.append("%s: program folder not %s\\tools\\" % (argv0, path))
        problems += [argv0 + ": " + p for p in compare(want, None, normalise(body, folders, "\\"))]
    return problems


def drive_letter_paths(win, linux):
    """C:\\m\\Attack.KOLVO-like arguments: resolved by _fullpath (relative
    parts, '/'), folded to lower case, the mission written beside the source."""
    problems = []
    unix, path = win.folder()
    tools = os.path.join(unix, "tools")
    win.install(tools)
    missions = os.path.join(unix, "Missions")
    write(os.path.join(missions, "Attack.KOLVO"), read(EXAMPLE))
    want = linux.convert(read(EXAMPLE)).mission
    forms = [
        path + "\\Missions\\Attack.KOLVO",
        "..\\MISSIONS\\.\\sub\\..\\attack.Kolvo",
        path.replace("\\", "/") + "/missions/ATTACK.kolvo",
        "WIN " + path + "\\Missions\\Attack.KOLVO LOOSE INTRO",
    ]
    mission = os.path.join(missions, "mission.pld")
    for form in forms:
        if os.path.exists(mission):
            os.remove(mission)
        status, console = win.run("vexlar.exe " + form, tools)
        mode = b"Mode: 0" if form.startswith("WIN") else b"Mode: 1"
        if status != 0 or not lf(console).startswith(mode + b"\n\n"):
            problems.append("%s: exit status %d, console %r" % (form, status, console[:200]))
        elif not os.path.exists(mission):
            problems.append("%s: no mission.pld beside the source" % form)
        elif not form.startswith("WIN") and lf(read(mission)) != want:
            problems.append("%s: %s" % (form, diff("mission.pld", want, lf(read(mission)))))

    # A mission.pld that cannot be replaced shows the folded full path.
    os.remove(mission)
    os.makedirs(os.path.join(mission, "x"))
    log = os.path.join(tools, "vexlar.log")
    os.remove(log)
    status, _ = win.run("vexlar.exe " + path + "\\Missions\\Attack.KOLVO", tools)
    body = log_body(log, problems)
    tail = ("Cannot write mission file!\nPath: %s\\missions\\mission.pld\n" % path.lower())
    if status != 1 or not body.endswith(tail.encode()):
        problems.append("unwritable mission: exit status %d, log:\n%s" % (status, body.decode()))

    # A full path longer than 260 characters is refused.
    os.remove(log)
    status, _ = win.run("vexlar.exe C:\\" + "a" * 300 + ".kolvo", tools)
    body = log_body(log, problems)
    if status != 1 or body != b"ERROR: Invalid path to file!\n":
        problems.append("long path: exit status %d, log %r" % (status, body))
    return problems


def log_path_rules(win, linux):
    """The log is argv[0] up to the last '.' of its file name, then ".log"."""
    problems = []
    unix, path = win.folder()
    shutil.copy(win.exe, os.path.join(unix, "vexlar.exe"))
    os.makedirs(os.path.join(unix, "a.b"))
    shutil.copy(win.exe, os.path.join(unix, "a.b", "vexlar.exe"))
    cases = [
        (unix, path + "\\a.b\\vexlar", "a.b/vexlar.log"),  # the only '.' is the folder's
        (unix, path + "\\a.b\\vexlar.exe", "a.b/vexlar.log"),
        (os.path.join(unix, "a.b"), "vexlar", "a.b/vexlar.log"),
        (unix, "vexlar.exe", "vexlar.log"),
    ]
    for cwd, argv0, log in cases:
        before = set(os.listdir(unix)) | {"a.b/" + n for n in os.listdir(os.path.join(unix, "a.b"))}
        status, _ = win.run(argv0 + " intro", cwd)
        after = set(os.listdir(unix)) | {"a.b/" + n for n in os.listdir(os.path.join(unix, "a.b"))}
        if status != 1 or after - before != {log}:
            problems.append("%s: exit status %d, new files %s, expected %s" %
                            (argv0, status, sorted(after - before), log))
            continue
        if log_body(os.path.join(unix, log), problems) != b"ERROR: No file for converting!\n":
            problems.append("%s: wrong message in %s" % (argv0, log))
        os.remove(os.path.join(unix, log))
    return problems


def stored_with_crlf(win, linux):
    """mission.pld, the log (header included) and the console end every line
    with CR LF; the console shows each message followed by an empty line."""
    problems = []
    unix, path = win.folder()
    win.install(os.path.join(unix, "bin"))
    write(os.path.join(unix, "m", "attack.kolvo"), read(EXAMPLE))
    status, console = win.run(path + "\\bin\\vexlar.exe win m\\attack.kolvo", unix)
    mission = read(os.path.join(unix, "m", "mission.pld"))
    log = read(os.path.join(unix, "bin", "vexlar.log"))
    for name, data in (("mission.pld", mission), ("log", log), ("console", console)):
        if not data or bare_lf(data):
            problems.append("%s has a line end other than CR LF" % name)
    if status != 0:
        problems.append("exit status %d" % status)
    want = linux.convert(read(EXAMPLE), args=["win"])
    folders = [(path + "\\bin\\", "{BIN}"), (path + "\\m", "{M}")]
    body = normalise(log_body(os.path.join(unix, "bin", "vexlar.log"), problems), folders, "\\")
    return problems + compare(want, lf(mission), body, normalise(lf(console), folders, "\\"))


def crlf_source(win, linux):
    """A source with CR LF lines converts as with LF lines; a CR that is not
    followed by LF stays in its value."""
    problems = []
    extra = (b'class _marker_90\n{\n\tobjectType="marker";\n\tclass Arguments\n\t{\n'
             b'\t\tTEXT="one\rtwo";\n\t\tPOSITION="[10,20,0]";\n\t};\n};\n')
    source = read(EXAMPLE) + extra
    results = {}
    for name, data in (("LF", source), ("CR LF", crlf(source))):
        unix, path = win.folder()
        win.install(os.path.join(unix, "bin"))
        write(os.path.join(unix, "m", "attack.kolvo"), data)
        status, _ = win.run("bin\\vexlar.exe " + path + "\\m\\attack.kolvo", unix)
        results[name] = read(os.path.join(unix, "m", "mission.pld"))
        if status != 0:
            problems.append("%s source: exit status %d" % (name, status))
    if results["LF"] != results["CR LF"]:
        problems.append(diff("mission.pld", results["LF"], results["CR LF"]))
    if b'text="one\rtwo";\r\n' not in results["CR LF"]:
        problems.append("the lone CR of a value was not kept")
    return problems + compare(linux.convert(crlf(source)), lf(results["CR LF"]), None)


def composition_data_with_crlf(win, linux):
    """DynO.cpp and the DynO\\ folder beside vexlar.exe, saved with CR LF; a
    missing script is reported with its path in the DynO\\ folder."""
    problems = []
    data = tempfile.mkdtemp(prefix="data", dir=linux.root)
    shutil.copytree(os.path.join(SOURCE, "data", "DynO"), os.path.join(data, "DynO"))
    write(os.path.join(data, "DynO.cpp"), read(os.path.join(SOURCE, "data", "DynO.cpp")) +
          b'class lost_site\n{\n\tobjectScript = "\\vexlar\\data\\DynO\\lost_site.txt";\n};\n')
    source = read(EXAMPLE) + (
        b'class _objectComposition_91\n{\n\tobjectType="objectComposition";\n'
        b'\tclass Arguments\n\t{\n\t\tTYPE="lost_site";\n\t\tPOSITION="[1,2,0]";\n\t};\n};\n')
    unix, path = win.folder()
    win.install(os.path.join(unix, "bin"), crlf, data)
    write(os.path.join(unix, "m", "attack.kolvo"), source)
    status, _ = win.run(path + "\\bin\\vexlar.exe m\\attack.kolvo", unix)
    body = log_body(os.path.join(unix, "bin", "vexlar.log"), problems)
    missing = ("Cannot open script file!\nPath: %s\\bin\\DynO\\lost_site.txt\n" % path).encode()
    if status != 0 or missing not in body:
        problems.append("exit status %d, log without %r" % (status, missing))
    folders = [(path + "\\bin\\", "{BIN}"), (path + "\\m", "{M}")]
    return problems + compare(linux.convert(source, data, crlf),
                              lf(read(os.path.join(unix, "m", "mission.pld"))),
                              normalise(body, folders, "\\"))


WINDOWS_CHECKS = [
    ("windows/program-folder-from-argv0-with-backslash", program_folder_from_argv0),
    ("windows/program-folder-through-fullpath", program_folder_through_fullpath),
    ("windows/drive-letter-paths-resolved-and-folded", drive_letter_paths),
    ("windows/log-path-rules", log_path_rules),
    ("windows/mission-log-and-console-stored-with-crlf", stored_with_crlf),
    ("windows/crlf-source-read-as-lf", crlf_source),
    ("windows/composition-data-beside-exe-with-crlf", composition_data_with_crlf),
]


# --- same/: the Windows and Linux builds agree ------------------------------------


def same_output(win, linux, case):
    """Runs the case folder `case` on both builds and compares."""
    line_ends = crlf if os.path.exists(os.path.join(case, "crlf")) else None
    invoke = "abs"
    if os.path.exists(os.path.join(case, "invoke")):
        invoke = read(os.path.join(case, "invoke")).decode().strip()
    words = []
    if os.path.exists(os.path.join(case, "cmd")):
        words = read(os.path.join(case, "cmd")).decode().split()
    outcomes = {}
    for side in ("linux", "windows"):
        if side == "linux":
            work = tempfile.mkdtemp(prefix="t", dir=linux.root)
            m, bin_dir, sep = os.path.join(work, "m"), os.path.join(work, "bin") + "/", "/"
            exe_name = "vexlar"
        else:
            work, w = win.folder()
            m, bin_dir, sep = w + "\\m", w + "\\bin\\", "\\"
            exe_name = "vexlar.exe"
        unix_m = os.path.join(work, "m")
        os.makedirs(unix_m)
        os.makedirs(os.path.join(work, "bin"))
        for sub in ("m", "bin"):
            if os.path.isdir(os.path.join(case, sub)):
                copy_tree(os.path.join(case, sub), os.path.join(work, sub), line_ends)
        mission_path = os.path.join(unix_m, "mission.pld")
        before = read(mission_path) if os.path.isfile(mission_path) else None
        keep = {}
        if os.path.exists(os.path.join(case, "expect", "keep")):
            for name in read(os.path.join(case, "expect", "keep")).decode().split():
                keep[name] = read(os.path.join(unix_m, name))
        args = [a.replace("{M}/", m + sep).replace("{M}", m).replace("{BIN}", bin_dir)
                for a in words]
        if side == "linux":
            exe = os.path.join(work, "bin", exe_name)
            shutil.copy(linux.exe, exe)
            argv0 = exe if invoke == "abs" else "bin/" + exe_name
            status, console = run_linux(exe, argv0, args, work)
        else:
            shutil.copy(win.exe, os.path.join(work, "bin", exe_name))
            argv0 = bin_dir + exe_name if invoke == "abs" else "bin\\" + exe_name
            status, console = win.run(" ".join([argv0] + args), work)
        problems = []
        mission = read(mission_path) if os.path.isfile(mission_path) else None
        log_path = os.path.join(work, "bin", "vexlar.log")
        log = read(log_path) if os.path.exists(log_path) else b""
        if side == "windows":
            written = mission if mission != before else b""
            for name, data in (("mission.pld", written or b""), ("log", log),
                               ("console", console)):
                if bare_lf(data):
                    problems.append("%s has a line end other than CR LF" % name)
        changed = [n for n, data in keep.items() if read(os.path.join(unix_m, n)) != data]
        folders = [(bin_dir, "{BIN}"), (m, "{M}")]
        outcomes[side] = {
            "status": status,
            "mission.pld": lf(mission) if mission is not None else None,
            "console": normalise(lf(console), folders, sep),
            "log": normalise(log_body(log_path, problems), folders, sep),
            "changed": changed,
            "problems": problems,
        }
    want, got = outcomes["linux"], outcomes["windows"]
    problems = got["problems"] + ["linux: " + p for p in want["problems"]]
    if got["status"] != want["status"]:
        problems.append("exit status %d, Linux %d" % (got["status"], want["status"]))
    for name in ("mission.pld", "console", "log"):
        if got[name] != want[name]:
            if got[name] is None or want[name] is None:
                problems.append("mission.pld written on one side only")
            else:
                problems.append(diff(name, want[name], got[name]))
    if got["changed"]:
        problems.append("changed: %s" % got["changed"])
    return problems


def example_case_folder(linux):
    """The bundled example as a case folder: m/attack.kolvo, bin/ the data."""
    case = tempfile.mkdtemp(prefix="example", dir=linux.root)
    write(os.path.join(case, "m", "attack.kolvo"), read(EXAMPLE))
    copy_tree(os.path.join(SOURCE, "data"), os.path.join(case, "bin"))
    write(os.path.join(case, "cmd"), b"{M}/attack.kolvo\n")
    os.makedirs(os.path.join(case, "expect"))
    return case


# --- zip/: the release archive ----------------------------------------------------


def release_archive(win, linux, archive):
    problems = []
    with zipfile.ZipFile(archive) as z:
        names = set(z.namelist())
        top = sorted(names)[0].split("/")[0]
        want = {"vexlar.exe", "README.md", "DynO.cpp", "DynO/checkpoint.txt",
                "DynO/fuel_depot.txt", "DynO/radar_site.txt", "DynO/field_hospital.txt"}
        missing = sorted(n for n in want if top + "/" + n not in names)
        if missing:
            problems.append("%s lacks %s" % (os.path.basename(archive), missing))
        unix, path = win.folder()
        z.extractall(unix)
    write(os.path.join(unix, "missions", "attack.kolvo"), read(EXAMPLE))
    folder = path + "\\" + top
    status, _ = win.run(folder + "\\vexlar.exe " + path + "\\missions\\attack.kolvo", unix)
    mission = lf(read(os.path.join(unix, "missions", "mission.pld")))
    expected = read(os.path.join(SOURCE, "examples", "expected", "mission.pld"))
    if status != 0 or mission != expected:
        problems.append("exit status %d; %s" % (status, diff("mission.pld", expected, mission)))
    body = log_body(os.path.join(unix, top, "vexlar.log"), problems)
    expected_log = read(os.path.join(SOURCE, "examples", "expected", "log.txt"))
    expected_log = expected_log.replace(b"{BIN}", (folder + "\\").encode())
    if body != expected_log:
        problems.append(diff("log", expected_log, body))
    return problems


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--exe", required=True, help="vexlar.exe")
    ap.add_argument("--linux-exe", required=True, help="the Linux build's vexlar")
    ap.add_argument("--cases", action="append", default=[], help="folder of case folders")
    ap.add_argument("--zip", help="the release archive")
    ap.add_argument("--wine", default=os.environ.get("WINE", "wine"))
    a = ap.parse_args()

    win = Windows(os.path.abspath(a.exe), a.wine)
    linux = Linux(a.linux_exe)
    checks = [(name, lambda f=f: f(win, linux)) for name, f in WINDOWS_CHECKS]
    example = example_case_folder(linux)
    checks.append(("same/bundled-example", lambda: same_output(win, linux, example)))
    for cases in a.cases:
        found = []
        for root, dirs, _ in os.walk(cases):
            if "expect" in dirs:
                found.append(root)
                dirs[:] = []
        for case in sorted(found):
            name = "same/" + os.path.relpath(case, cases)
            checks.append((name, lambda c=case: same_output(win, linux, c)))
    if a.zip:
        checks.append(("zip/" + os.path.basename(a.zip),
                       lambda: release_archive(win, linux, a.zip)))

    passed = failed = 0
    try:
        for name, check in checks:
            try:
                problems = check()
            except Exception as e:  # a hang or a missing file is a failure too
                problems = ["harness: %r" % e]
            if problems:
                failed += 1
                print("FAIL", name)
                for p in problems:
                    print("   ", p.replace("\n", "\n    "))
            else:
                passed += 1
                print("ok  ", name)
    finally:
        shutil.rmtree(linux.root, ignore_errors=True)
        shutil.rmtree(os.path.join(win.drive, "e2e"), ignore_errors=True)
    print("%d passed, %d failed" % (passed, failed))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
