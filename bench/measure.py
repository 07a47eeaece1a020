#!/usr/bin/env python3
"""Measures vexlar against two baselines on generated missions.

For every shape and size it generates the mission (once; kept in the work
folder), runs vexlar once to learn how many messages it logs, then runs the
baselines and vexlar alternately, several times each, and prints one table
row: objects, source MB, vexlar's median wall seconds, MB/s, microseconds per
object, peak resident memory (the largest of the runs), the line copy's
median and vexlar's ratio to it, the contract floor's median and vexlar's
ratio to it, and the lines vexlar logged. The line copy copies the source
line by line; the contract floor does the same and then, for every message
of the run (counted on its console, of the log's mean message length), opens
a log for appending, writes, closes it and writes the console, as the log
contract asks of every run. Each vexlar output (mission.pld and the log of the run) is
compared with the digests in expected_output.txt, recorded from the
converter before its performance work; the exit status is 1 when one
differs. Run through bench/run.sh, which builds everything first.
"""

import argparse
import hashlib
import os
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SHAPES = ("mixed", "groups", "compositions")
SHAPE_TITLES = {"mixed": "mixed", "groups": "many groups", "compositions": "many compositions"}


def run_measured(spawner, argv, stdout):
    """Runs argv through the spawn_measured tool `spawner`, with its standard
    output and error to the file descriptor `stdout`; returns (wall seconds,
    peak resident KiB, exit status) as the tool measured them. posix_spawn
    starts the small tool in a fraction of a millisecond, where subprocess
    takes several: that would weigh on the small missions. The tool, not
    this process, starts the program: Linux would count this process's peak
    memory in a program it started itself."""
    # No run pays for the writeback of an earlier one's files: the small
    # missions' runs would otherwise wait for the line copies' output.
    os.sync()
    report = os.path.join(os.path.dirname(spawner), "spawn_measured.report")
    actions = [(os.POSIX_SPAWN_DUP2, stdout, 1), (os.POSIX_SPAWN_DUP2, stdout, 2)]
    pid = os.posix_spawn(spawner, [spawner, report] + argv, os.environ, file_actions=actions)
    _, status = os.waitpid(pid, 0)
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"spawn_measured failed on {argv[0]}")
    with open(report) as f:
        wall, rss, code = f.read().split()
    return float(wall), int(rss), int(code)


def file_digest(path, replace=None, skip_lines=0):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        if skip_lines == 0 and replace is None:
            for chunk in iter(lambda: f.read(1 << 20), b""):
                digest.update(chunk)
        else:
            for number, line in enumerate(f):
                if number < skip_lines:
                    continue
                digest.update(line.replace(*replace) if replace else line)
    return digest.hexdigest()


def load_expected(path):
    expected = {}
    if os.path.exists(path):
        with open(path) as f:
            for line in f:
                fields = line.split()
                if len(fields) == 5 and not line.startswith("#"):
                    expected[(fields[0], int(fields[1]), int(fields[2]))] = (fields[3], fields[4])
    return expected


def generate(tools, shape, objects, seed, path):
    generator = os.path.join(tools, "bench", "generate_mission")
    if os.path.exists(path) and os.path.getmtime(path) >= os.path.getmtime(generator):
        return
    subprocess.run([generator, shape, str(objects), str(seed), path], check=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", required=True, help="Release build folder")
    parser.add_argument("--sizes", default="10000,100000,1000000")
    parser.add_argument("--shapes", default=",".join(SHAPES))
    parser.add_argument("--runs", type=int, default=5, help="runs of each program per row")
    parser.add_argument("--long-runs", type=int, default=3,
                        help="runs per row whose first vexlar run takes over 20 s")
    parser.add_argument("--short-runs", type=int, default=15,
                        help="runs per row whose first vexlar run takes under 1 s")
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()

    build = os.path.abspath(args.build)
    vexlar = os.path.join(build, "vexlar")
    line_copy = os.path.join(build, "bench", "line_copy")
    spawner = os.path.join(build, "bench", "spawn_measured")
    log_path = vexlar + ".log"
    work = os.path.join(build, "missions")
    os.makedirs(work, exist_ok=True)
    expected = load_expected(os.path.join(HERE, "expected_output.txt"))
    sizes = [int(s) for s in args.sizes.split(",")]
    shapes = [s for s in args.shapes.split(",") if s]

    header = ("shape", "objects", "source MB", "wall s", "MB/s", "us/object", "peak RSS MB",
              "RSS/source", "copy s", "ratio", "floor s", "ratio", "log lines", "output")
    widths = (17, 9, 10, 8, 7, 10, 12, 11, 8, 6, 8, 6, 10, 7)
    def row(values):
        return "  ".join(str(v).rjust(w) for v, w in zip(values, widths))
    print(row(header))
    print(flush=True)

    results = {}
    failed = False
    for shape in shapes:
        for objects in sizes:
            folder = os.path.join(work, f"{shape}-{objects}")
            os.makedirs(folder, exist_ok=True)
            source = os.path.join(folder, "generated.kolvo")
            generate(build, shape, objects, args.seed, source)
            source_mb = os.path.getsize(source) / 1e6
            copy = os.path.join(folder, "copy.txt")
            mission = os.path.join(folder, "mission.pld")
            walls, rsss, baselines, floors = [], [], [], []
            output = "-"
            runs = args.runs
            floor_log = os.path.join(folder, "floor.log")
            with open(os.devnull, "wb") as devnull:
                console = devnull.fileno()
                # The console shows each message followed by one more line
                # break: that counts the messages, the log gives their length.
                if os.path.exists(log_path):
                    os.remove(log_path)
                echo = os.path.join(folder, "console.txt")
                with open(echo, "wb") as shown:
                    if run_measured(spawner, [vexlar, source], shown.fileno())[2] != 0:
                        sys.exit(f"vexlar failed on {source}")
                with open(echo, "rb") as shown:
                    count = shown.read().count(b"\n\n")
                os.remove(echo)
                with open(log_path, "rb") as log:
                    messages = log.read().split(b"\n", 5)[-1]  # without the run's header
                length = round(len(messages) / count) if count else 0
                while len(walls) < runs:
                    wall, _, status = run_measured(spawner, [line_copy, source, copy], console)
                    if status != 0:
                        sys.exit(f"line_copy failed on {source}")
                    baselines.append(wall)
                    if os.path.exists(floor_log):
                        os.remove(floor_log)
                    wall, _, status = run_measured(
                        spawner, [line_copy, source, copy, floor_log, str(count), str(length)], console)
                    if status != 0:
                        sys.exit(f"line_copy failed on {source}")
                    floors.append(wall)
                    # A fresh log for every run: its size then stays that of one run.
                    if os.path.exists(log_path):
                        os.remove(log_path)
                    wall, rss, status = run_measured(spawner, [vexlar, source], console)
                    if status != 0:
                        sys.exit(f"vexlar failed on {source}")
                    walls.append(wall)
                    rsss.append(rss)
                    # Short runs are cheap and noisier: more of them steady the median.
                    if len(walls) == 1 and wall < 1:
                        runs = max(runs, args.short_runs)
                    if wall > 20:
                        runs = min(runs, args.long_runs)
            os.remove(copy)
            os.remove(floor_log)
            with open(log_path, "rb") as log:
                log_lines = sum(1 for _ in log) - 5  # without the run's header
            want = expected.get((shape, objects, args.seed))
            if want:
                got = (file_digest(mission),
                       file_digest(log_path, (build.encode() + b"/", b"{BIN}"), skip_lines=5))
                output = "same" if got == want else "CHANGED"
                failed = failed or got != want
            # The outputs of the large missions take room; the sources stay for the next run.
            os.remove(mission)
            os.remove(log_path)
            wall = statistics.median(walls)
            baseline = statistics.median(baselines)
            floor = statistics.median(floors)
            rss_mb = max(rsss) * 1024 / 1e6  # ru_maxrss is in KiB; MB as the source's
            results[(shape, objects)] = (wall / objects * 1e6, wall / floor, rss_mb / source_mb)
            print(row((SHAPE_TITLES.get(shape, shape), objects, f"{source_mb:.1f}", f"{wall:.3f}",
                       f"{source_mb / wall:.0f}", f"{wall / objects * 1e6:.2f}", f"{rss_mb:.0f}",
                       f"{rss_mb / source_mb:.2f}", f"{baseline:.3f}", f"{wall / baseline:.2f}",
                       f"{floor:.3f}", f"{wall / floor:.2f}", log_lines, output)), flush=True)
        print(flush=True)

    # The targets: at a million objects, every shape within 1.3 times its
    # contract floor, and the mixed one in at most 1.5 times the source's size
    # in memory; for every shape, microseconds per object within a factor 1.2
    # from 10k to 1M.
    print("Targets:")
    for shape in shapes:
        title = SHAPE_TITLES.get(shape, shape)
        if (shape, 1000000) in results:
            _, ratio, rss_ratio = results[(shape, 1000000)]
            print(f"  {title}, 1000000 objects: time {ratio:.2f} x the contract floor "
                  f"(at most 1.3): {'met' if ratio <= 1.3 else 'NOT MET'}")
            if shape == "mixed":
                print(f"  {title}, 1000000 objects: peak RSS {rss_ratio:.2f} x the source "
                      f"(at most 1.5): {'met' if rss_ratio <= 1.5 else 'NOT MET'}")
        if (shape, 10000) not in results or (shape, 1000000) not in results:
            print(f"  {title}: time and spread not measured (they need 10000 and 1000000 objects)")
            continue
        per_object = [results[(shape, n)][0] for n in sizes
                      if 10000 <= n <= 1000000 and (shape, n) in results]
        spread = max(per_object) / min(per_object)
        print(f"  {title}: us/object vary {spread:.2f} x from 10000 to 1000000 objects "
              f"(at most 1.2): {'met' if spread <= 1.2 else 'NOT MET'}")
    if failed:
        print("Output differs from the recorded output: see the 'output' column.")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
