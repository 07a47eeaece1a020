#!/usr/bin/env bash
# The benchmark: builds vexlar and the bench tools in Release (build-bench/),
# generates missions of 10k, 100k and 1M objects in three shapes and prints
# vexlar's times beside those of the line-copy baseline. Arguments go to
# measure.py (e.g. --runs 3, --sizes 10000,100000, --shapes mixed).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVEXLAR_BUILD_TESTS=OFF >/dev/null
cmake --build build-bench -j2 --target vexlar generate_mission line_copy spawn_measured >/dev/null
exec python3 bench/measure.py --build build-bench "$@"
