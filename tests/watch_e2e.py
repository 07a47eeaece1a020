#!/usr/bin/env python3
# vexlar --watch followed through saves, as an editor makes them:
#
#   python3 tests/watch_e2e.py --exe build/vexlar
#   python3 tests/watch_e2e.py --exe build-win/vexlar.exe --wine
#
# Each test starts a watch of its own on a copy of the program and its
# composition data, saves the source (in place, truncated and written
# slowly, or written to a temporary file and renamed over it), and compares
# mission.pld with what a plain run of vexlar makes of that version. A watch
# tells on standard output, after each conversion, that it is watching; the
# tests wait for that line, never for a fixed time alone.
#
# The last line is "N passed, N failed"; the exit status is 1 after any
# failure. With --wine, vexlar.exe runs under Wine (WINEPREFIX set up), given
# the files as Z:\ paths, and the checks that need signals (Ctrl+C, SIGTERM,
# the exit status they end with) are left out: the watch is ended by a kill.
import glob
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

from e2e_util import SOURCE, arguments, check, finish, read, until, write

WINE = False  # --wine
ROOT = tempfile.mkdtemp(prefix="vexlar-watch-")  # every test's folders, removed at the end
WATCHING = rb"^Watching "


def command(exe, *args):
    """How `exe` is started with `args`; under Wine, paths as Windows paths."""
    windows = ["Z:" + a.replace("/", "\\") if a.startswith("/") else a for a in args]
    return ["wine", exe, *windows] if WINE else [exe, *args]


def marker(text):
    return ('version=12;\nclass _marker_1\n{\n\tobjectType="marker";\n\tclass Arguments\n'
            '\t{\n\t\tTEXT="%s";\n\t};\n};\n' % text).encode()


def composition(kind):
    return ('class _oc_1\n{\n\tobjectType="objectComposition";\n\tclass Arguments\n\t{\n'
            '\t\tTYPE="%s";\n\t\tPOSITION="[100,200,0]";\n\t};\n};\n' % kind).encode()


class Watch:
    """A program folder with the sample composition data, a mission folder
    whose source holds `first`, and then (start) `vexlar --watch` on it, its
    standard output collected line by line."""

    def __init__(self, exe, first):
        root = tempfile.mkdtemp(dir=ROOT)
        self.bin = os.path.join(root, "bin")
        shutil.copytree(os.path.join(SOURCE, "data"), self.bin)
        self.exe = shutil.copy(exe, os.path.join(self.bin, "vexlar.exe" if WINE else "vexlar"))
        self.source, self.mission = (os.path.join(root, "m", n)
                                     for n in ("attack.kolvo", "mission.pld"))
        write(self.source, first)

    def start(self, *options):
        """Starts the watch: self, once the first conversion has ended or 30 s passed."""
        self.proc = subprocess.Popen(command(self.exe, "--watch", *options, self.source),
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                     stdin=subprocess.DEVNULL)
        self.lines = []
        threading.Thread(target=lambda: [self.lines.append(l) for l in self.proc.stdout],
                         daemon=True).start()
        self.started = self.wait(1)
        return self

    def count(self, pattern=WATCHING):
        """The lines shown that match `pattern`: by default, the conversions ended."""
        return sum(bool(re.search(pattern, line)) for line in self.lines[:])

    def wait(self, count, pattern=WATCHING):
        return until(lambda: self.count(pattern) >= count, 30, 0.01)

    def plain(self, data):
        """mission.pld of a plain run on `data`, in a folder of its own."""
        path = os.path.join(tempfile.mkdtemp(dir=ROOT), "attack.kolvo")
        write(path, data)
        subprocess.run(command(self.exe, path), capture_output=True)
        return read(os.path.join(os.path.dirname(path), "mission.pld"))

    def temporaries(self):
        return glob.glob(os.path.join(os.path.dirname(self.mission), "*.tmp"))

    def stop(self, name=None, sig=signal.SIGINT):
        """Ends the watch with `sig`, and checks as `name` that its exit status
        is 0, the last conversion's; under Wine a kill, and no check."""
        self.proc.send_signal(signal.SIGKILL if WINE else sig)
        try:
            status = self.proc.wait(30)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            status = "still running after 30 s"
        if name and not WINE:
            check(name, status == 0, status)


def save_in_place(path, data):
    with open(path, "r+b" if os.path.exists(path) else "wb") as f:
        f.write(data)
        f.truncate()


def save_slowly(path, data, pieces=12, pause=0.15):
    """Truncates, then writes in pieces with pauses shorter than the settle time."""
    with open(path, "wb") as f:
        step = max(1, len(data) // pieces)
        for at in range(0, len(data), step):
            f.write(data[at:at + step])
            f.flush()
            time.sleep(pause)


def save_by_rename(path, data):
    write(path + ".new", data)
    os.replace(path + ".new", path)


def test_saves(exe):
    """Five saves, written the three ways; each conversion is of the whole version."""
    example = read(os.path.join(SOURCE, "examples", "attack.kolvo"))
    w = Watch(exe, marker("first")).start()
    check("saves: converts at once", w.started)
    check("saves: the first conversion", read(w.mission) == w.plain(marker("first")))
    versions = [(save_in_place, marker("second")), (save_slowly, example),
                (save_by_rename, marker("third") + composition("checkpoint")),
                (save_slowly, marker("4th")), (save_by_rename, example + marker("fifth"))]
    for n, (save, data) in enumerate(versions, 2):
        save(w.source, data)
        check("saves: save %d (%s) converted" % (n, save.__name__), w.wait(n), w.lines)
        check("saves: save %d equals a plain run" % n, read(w.mission) == w.plain(data))
    time.sleep(1.5)
    # One conversion per save: a slow save was never read half written.
    check("saves: one conversion per save", w.count() == len(versions) + 1, w.count())
    w.stop("saves: Ctrl+C ends with the last conversion's status")
    check("saves: no temporary file", not w.temporaries(), w.temporaries())


def test_gone_and_back(exe):
    w = Watch(exe, marker("here")).start()
    os.remove(w.source)
    check("gone: told", w.wait(1, rb"is gone"), w.lines)
    time.sleep(1)
    check("gone: told once", w.count(rb"is gone") == 1, w.count(rb"is gone"))
    save_in_place(w.source, marker("back"))
    check("gone: converted when back", w.wait(2))
    check("gone: the new version", read(w.mission) == w.plain(marker("back")))
    w.stop()


def test_script_change(exe):
    w = Watch(exe, composition("checkpoint")).start()
    script = os.path.join(w.bin, "DynO", "checkpoint.txt")
    write(script, read(script) + b'["Truck",[9,9,0],45]\n')
    check("script: a changed script converts again", w.wait(2))
    check("script: with the new script", b"Truck" in read(w.mission))
    w.stop()


def test_failed_conversion(exe):
    """A conversion that cannot write mission.pld is told, and the watch goes on."""
    w = Watch(exe, marker("one"))
    os.makedirs(w.mission)  # a folder where mission.pld should be
    w.start()
    check("failed: told", w.count(rb"Cannot write mission file!"), w.lines)
    os.rmdir(w.mission)
    save_in_place(w.source, marker("two"))
    check("failed: the next save converts", w.wait(2))
    check("failed: and writes",
          os.path.isfile(w.mission) and read(w.mission) == w.plain(marker("two")))
    w.stop("failed: SIGTERM ends with the last conversion's status", signal.SIGTERM)


def test_interrupt_during_conversion(exe):
    """Ctrl+C while a large mission is converted: that conversion completes, or
    the old mission.pld stays; no temporary file either way."""
    w = Watch(exe, marker("small")).start()
    old = read(w.mission)
    large = b"".join(marker("m%d" % n)[len(b"version=12;\n"):] for n in range(300000))
    save_by_rename(w.source, large)
    # Interrupt once the new conversion has started writing its temporary file.
    until(lambda: w.temporaries() or w.count() >= 2, 30, 0.001)
    during = w.temporaries()
    w.stop("interrupt: the watch ends with the status of that conversion")
    check("interrupt: sent while the new mission.pld was written", during)
    check("interrupt: no temporary file", not w.temporaries(), w.temporaries())
    now = read(w.mission)
    check("interrupt: mission.pld is the old or the whole new one",
          now == old or now == w.plain(large))


def test_backups(exe):
    """--backup in a watch: a mission.pld changed by another program between
    two saves is kept; one the watch wrote itself is not backed up again."""
    w = Watch(exe, marker("one")).start("--backup=numbered")
    backups = lambda: sorted(glob.glob(w.mission + ".~*~"))
    save_in_place(w.source, marker("two"))
    w.wait(2)
    check("backup: none of the watch's own file", not backups(), backups())
    edited = read(w.mission) + b"// the 2D editor's work\n"
    write(w.mission, edited)
    save_in_place(w.source, marker("three"))
    w.wait(3)
    check("backup: the edited file is kept, byte for byte",
          len(backups()) == 1 and read(backups()[0]) == edited, backups())
    w.stop()


def main():
    global WINE
    args = arguments(("--wine", {"action": "store_true"}))
    WINE = args.wine
    tests = [test_saves, test_gone_and_back, test_script_change, test_failed_conversion,
             test_backups] + ([] if WINE else [test_interrupt_during_conversion])
    for test in tests:
        try:
            test(args.exe)
        except Exception as error:  # a test that breaks is a failure, not the end
            check(test.__name__ + " ran", False, repr(error))
    shutil.rmtree(ROOT, ignore_errors=True)
    return finish()


if __name__ == "__main__":
    sys.exit(main())
