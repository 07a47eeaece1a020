#!/usr/bin/env bash
# Sanitizer leg: the whole test suite built with AddressSanitizer (with its
# LeakSanitizer) and UndefinedBehaviorSanitizer. Any report fails a test, and
# so the leg. Runs after the main build, so the compiler, CMake and
# GoogleTest are already installed.
set -euo pipefail
cd "$(dirname "$0")/../.."

# LeakSanitizer checks every test process (and every vexlar the tests start)
# at its exit; UndefinedBehaviorSanitizer stops at its first report.
export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# Debug keeps the assertions; -O1 keeps the instrumented tests quick.
echo "+ cmake -S . -B build-asan -DVEXLAR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1"
cmake -S . -B build-asan -DVEXLAR_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1
cmake --build build-asan -j2
echo "+ (cd build-asan && ctest --output-on-failure -j2)"
(cd build-asan && ctest --output-on-failure -j2)
