# Helpers shared by the end-to-end scripts: named checks counted into a last
# line "N passed, N failed", and whole-file reads and writes.
import os

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
