#!/usr/bin/env python3
"""Fails when a folder of the converter includes a folder of its own level or
of a higher one. Levels, bottom up:
  0  platform, text      (the operating system; plain text helpers)
  1  store, log          (the object store; the run log)
  2  reader, dyno, writer
  3  driver              (the conversion: read, expand, write)
Tests (*_test.cc), tests/, fuzz/ and bench/ may include anything. A folder
with sources that has no level here fails too, so that it gets one.
"""
import os, re, subprocess, sys

LEVEL = {"platform": 0, "text": 0, "store": 1, "log": 1,
         "reader": 2, "dyno": 2, "writer": 2, "driver": 3}
FREE = ("tests/", "fuzz/", "bench/")

root = subprocess.run(["git", "rev-parse", "--show-toplevel"], capture_output=True, text=True,
                      check=True, cwd=os.path.dirname(os.path.abspath(__file__))).stdout.strip()
files = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "*.h", "*.cc"],
                       capture_output=True, text=True, check=True, cwd=root).stdout.split()
bad = []
for path in files:
    if "/" not in path or path.startswith(FREE) or path.endswith("_test.cc"):
        continue
    folder = path.split("/")[0]
    if folder not in LEVEL:
        bad.append("%s: the folder %s/ has no level" % (path, folder))
        continue
    with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            m = re.match(r'\s*#\s*include\s+"([^/"]+)/', line)
            if m and m.group(1) != folder and LEVEL.get(m.group(1), 99) >= LEVEL[folder]:
                bad.append("%s:%d: %s/ (level %d) includes %s/" %
                           (path, number, folder, LEVEL[folder], m.group(1)))
for line in bad:
    print(line)
print("layering: %d include(s) against the levels" % len(bad) if bad else "layering: ok")
sys.exit(1 if bad else 0)
