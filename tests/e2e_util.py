# Helpers shared by the end-to-end scripts: named checks counted into a last
# line "N passed, N failed", whole-file reads and writes, the command line
# and waiting for a condition.
import argparse
import os
import time

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
results = []


def check(name, ok, detail=""):
    """Counts one check and prints it, with `detail` when it fails."""
    results.append(bool(ok))
    print(("ok " if ok else "FAILED ") + name + ("" if ok else ": " + str(detail)))
    return bool(ok)


def finish():
    """Prints the counts: the exit status, 1 after any failure."""
    failed = results.count(False)
    print("%d passed, %d failed" % (len(results) - failed, failed))
    return 1 if failed else 0


def read(path):
    with open(path, "rb") as f:
        return f.read()


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def arguments(*options):
    """The command line: --exe, made absolute, and `options` as (flag, keywords)."""
    parser = argparse.ArgumentParser()
    for flag, keywords in (("--exe", {"required": True}),) + options:
        parser.add_argument(flag, **keywords)
    args = parser.parse_args()
    args.exe = os.path.abspath(args.exe)
    return args


def until(ready, seconds, step=0.5):
    """Calls `ready` every `step` seconds until it is true or `seconds` have
    passed: its last value."""
    deadline = time.time() + seconds
    while not (value := ready()) and time.time() < deadline:
        time.sleep(step)
    return value
