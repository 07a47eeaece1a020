#!/usr/bin/env bash
# Sanitizer leg: the whole test suite built with AddressSanitizer (with its
# LeakSanitizer) and UndefinedBehaviorSanitizer. Any report fails a test, and
# so the leg. Runs after the main build, so the compiler, CMake and
# GoogleTest are already installed.
set -euo pipefail
cd "$(dirname "$0")/../.."

# The asan presets hold the settings: Debug, which keeps the assertions, -O1,
# which keeps the instrumented tests quick, and the sanitizers' options
# (LeakSanitizer checks every test process and every vexlar the tests start
# at its exit; UndefinedBehaviorSanitizer stops at its first report).
echo "+ cmake --preset asan && cmake --build --preset asan && ctest --preset asan"
cmake --preset asan
cmake --build --preset asan
ctest --preset asan
