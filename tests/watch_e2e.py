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
import argparse
import glob
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

from e2e_util import SOURCE, check, finish, read

WINE = False  # --wine


def command(exe, *args):
    """How `exe` is started with `args`; under Wine, paths as Windows paths."""
    if not WINE:
        return [exe, *args]
    return ["wine", exe] + ["Z:" + a.replace("/", "\\") if a.startswith("/") else a for a in args]

WATCHING = b"Watching "
places = []  # folders to remove at the end


def marker(text):
    return ('version=12;\nclass _marker_1\n{\n\tobjectType="marker";\n\tclass Arguments\n'
            '\t{\n\t\tTEXT="%s";\n\t};\n};\n' % text).encode()


def composition(kind):
    return ('class _oc_1\n{\n\tobjectType="objectComposition";\n\tclass Arguments\n\t{\n'
            '\t\tTYPE="%s";\n\t\tPOSITION="[100,200,0]";\n\t};\n};\n' % kind).encode()


class Place:
    """A program folder with the sample composition data, and a mission folder."""

    def __init__(self, exe):
        self.root = tempfile.mkdtemp(prefix="vexlar-watch-")
        places.append(self.root)
        self.bin = os.path.join(self.root, "bin")
        shutil.copytree(os.path.join(SOURCE, "data"), self.bin)
        self.exe = os.path.join(self.bin, "vexlar.exe" if WINE else "vexlar")
        shutil.copy(exe, self.exe)
        self.m = os.path.join(self.root, "m")
        os.makedirs(self.m)
        self.source = os.path.join(self.m, "attack.kolvo")
        self.mission = os.path.join(self.m, "mission.pld")

    def plain(self, source_bytes, *options):
        """mission.pld of a plain run on `source_bytes`, in a folder of its own."""
        folder = tempfile.mkdtemp(dir=self.root)
        path = os.path.join(folder, "attack.kolvo")
        with open(path, "wb") as f:
            f.write(source_bytes)
        subprocess.run(command(self.exe, *options, path), capture_output=True)
        return read(os.path.join(folder, "mission.pld"))

    def mission_bytes(self):
        return read(self.mission)

    def temporaries(self):
        return glob.glob(os.path.join(self.m, "*.tmp"))


class Watch:
    """A running `vexlar --watch`, its standard output read line by line."""

    def __init__(self, place, *options):
        self.proc = subprocess.Popen(command(place.exe, "--watch", *options, place.source),
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                     stdin=subprocess.DEVNULL)
        self.lines, self.errors = [], []
        self.cond = threading.Condition()
        threading.Thread(target=self._read, args=(self.proc.stdout, self.lines), daemon=True).start()
        threading.Thread(target=self._read, args=(self.proc.stderr, self.errors), daemon=True).start()

    def _read(self, stream, into):
        for line in stream:
            with self.cond:
                into.append(line)
                self.cond.notify_all()

    def watching_count(self):
        return sum(1 for line in self.lines if line.startswith(WATCHING))

    def wait_for_conversions(self, count, seconds=30):
        """Waits until `count` conversions have ended (watching lines shown)."""
        with self.cond:
            return self.cond.wait_for(lambda: self.watching_count() >= count, seconds)

    def wait_for_line(self, text, seconds=30):
        with self.cond:
            return self.cond.wait_for(lambda: any(text in l for l in self.lines), seconds)

    def stop(self, sig=signal.SIGINT):
        """The exit status after `sig`; under Wine a kill, and None."""
        if WINE:
            self.proc.kill()
            self.proc.wait(30)
            return None
        self.proc.send_signal(sig)
        try:
            return self.proc.wait(30)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            return None


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
    temporary = path + ".new"
    with open(temporary, "wb") as f:
        f.write(data)
    os.replace(temporary, path)


def test_saves(exe):
    """Five saves, written the three ways; each conversion is of the whole version."""
    place = Place(exe)
    with open(os.path.join(SOURCE, "examples", "attack.kolvo"), "rb") as f:
        example = f.read()
    save_in_place(place.source, marker("first"))
    watch = Watch(place)
    check("saves: converts at once", watch.wait_for_conversions(1))
    check("saves: the first conversion", place.mission_bytes() == place.plain(marker("first")))
    versions = [(save_in_place, marker("second")), (save_slowly, example),
                (save_by_rename, marker("third") + composition("checkpoint")), (save_slowly, marker("4th")),
                (save_by_rename, example + marker("fifth"))]
    for n, (save, data) in enumerate(versions, 2):
        save(place.source, data)
        converted = watch.wait_for_conversions(n)
        check("saves: save %d (%s) converted" % (n, save.__name__), converted, watch.lines)
        check("saves: save %d equals a plain run" % n, place.mission_bytes() == place.plain(data))
    time.sleep(1.5)
    # One conversion per save: a slow save was never read half written.
    check("saves: one conversion per save", watch.watching_count() == len(versions) + 1,
          watch.watching_count())
    status = watch.stop()
    if not WINE:
        check("saves: Ctrl+C ends with the last conversion's status", status == 0, status)
    check("saves: no temporary file", not place.temporaries(), place.temporaries())


def test_gone_and_back(exe):
    place = Place(exe)
    save_in_place(place.source, marker("here"))
    watch = Watch(place)
    watch.wait_for_conversions(1)
    os.remove(place.source)
    check("gone: told", watch.wait_for_line(b"is gone"), watch.lines)
    time.sleep(1)
    told = sum(1 for l in watch.lines if b"is gone" in l)
    check("gone: told once", told == 1, told)
    save_in_place(place.source, marker("back"))
    check("gone: converted when back", watch.wait_for_conversions(2))
    check("gone: the new version", place.mission_bytes() == place.plain(marker("back")))
    watch.stop()


def test_script_change(exe):
    place = Place(exe)
    save_in_place(place.source, composition("checkpoint"))
    watch = Watch(place)
    watch.wait_for_conversions(1)
    script = glob.glob(os.path.join(place.bin, "DynO", "checkpoint.txt"))[0]
    with open(script, "ab") as f:
        f.write(b'["Truck",[9,9,0],45]\n')
    check("script: a changed script converts again", watch.wait_for_conversions(2))
    check("script: with the new script", b"Truck" in place.mission_bytes())
    watch.stop()


def test_failed_conversion(exe):
    """A conversion that cannot write mission.pld is told, and the watch goes on."""
    place = Place(exe)
    save_in_place(place.source, marker("one"))
    os.makedirs(place.mission)  # a folder where mission.pld should be
    watch = Watch(place)
    watch.wait_for_conversions(1)
    check("failed: told", any(b"Cannot write mission file!" in l for l in watch.lines), watch.lines)
    os.rmdir(place.mission)
    save_in_place(place.source, marker("two"))
    check("failed: the next save converts", watch.wait_for_conversions(2))
    check("failed: and writes", os.path.isfile(place.mission) and
          place.mission_bytes() == place.plain(marker("two")))
    status = watch.stop(signal.SIGTERM)
    if not WINE:
        check("failed: SIGTERM ends with the last conversion's status", status == 0, status)


def test_interrupt_during_conversion(exe):
    """Ctrl+C while a large mission is converted: that conversion completes, or
    the old mission.pld stays; no temporary file either way."""
    place = Place(exe)
    save_in_place(place.source, marker("small"))
    watch = Watch(place)
    watch.wait_for_conversions(1)
    old = place.mission_bytes()
    large = b"".join(marker("m%d" % n)[len(b"version=12;\n"):] for n in range(300000))
    save_by_rename(place.source, large)
    # Interrupt once the new conversion has started writing its temporary file.
    deadline = time.time() + 30
    while time.time() < deadline and not place.temporaries() and watch.watching_count() < 2:
        time.sleep(0.001)
    during = bool(place.temporaries())
    status = watch.stop()
    check("interrupt: sent while the new mission.pld was written", during)
    check("interrupt: the watch ends with the status of that conversion", status == 0, status)
    check("interrupt: no temporary file", not place.temporaries(), place.temporaries())
    now = place.mission_bytes()
    check("interrupt: mission.pld is the old or the whole new one",
          now == old or now == place.plain(large))


def test_backups(exe):
    """--backup in a watch: a mission.pld changed by another program between
    two saves is kept; one the watch wrote itself is not backed up again."""
    place = Place(exe)
    save_in_place(place.source, marker("one"))
    watch = Watch(place, "--backup=numbered")
    watch.wait_for_conversions(1)
    save_in_place(place.source, marker("two"))
    watch.wait_for_conversions(2)
    check("backup: none of the watch's own file", not glob.glob(place.mission + ".~*~"),
          glob.glob(place.mission + ".~*~"))
    with open(place.mission, "ab") as f:
        f.write(b"// the 2D editor's work\n")
    edited = place.mission_bytes()
    save_in_place(place.source, marker("three"))
    watch.wait_for_conversions(3)
    backups = sorted(glob.glob(place.mission + ".~*~"))
    check("backup: the edited file is kept", len(backups) == 1, backups)
    if backups:
        check("backup: byte for byte", read(backups[0]) == edited)
    watch.stop()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--wine", action="store_true")
    args = parser.parse_args()
    global WINE
    WINE = args.wine
    exe = os.path.abspath(args.exe)
    tests = [test_saves, test_gone_and_back, test_script_change, test_failed_conversion,
             test_backups]
    if not WINE:
        tests.append(test_interrupt_during_conversion)
    for test in tests:
        try:
            test(exe)
        except Exception as error:  # a test that breaks is a failure, not the end
            check(test.__name__ + " ran", False, repr(error))
    for root in places:
        shutil.rmtree(root, ignore_errors=True)
    return finish()


if __name__ == "__main__":
    sys.exit(main())
