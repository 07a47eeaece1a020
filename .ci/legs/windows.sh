#!/usr/bin/env bash
# Windows leg: cross-builds vexlar.exe and the unit tests with MinGW-w64, makes
# the release archive, and runs under Wine the two test programs (with
# the e2e one the data cases of tests/cases/ and the conformance cases beside the
# checkout), what only a started vexlar.exe shows (tests/windows_e2e.py) and
# when it waits for a key (tests/windows_console.py).
# Installs what a fresh machine lacks. Prints the counts and the time it took;
# exits non-zero when a test fails. VEXLAR_CONFORMANCE_CASES names the
# conformance cases when they are not in ../shared/conformance/cases.
set -euo pipefail
cd "$(dirname "$0")/../.."
SECONDS=0

need=()
command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || need+=(g++-mingw-w64-x86-64)
command -v wine >/dev/null 2>&1 || need+=(wine wine64)
command -v cmake >/dev/null 2>&1 || need+=(cmake)
command -v python3 >/dev/null 2>&1 || need+=(python3)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
command -v tmux >/dev/null 2>&1 || need+=(tmux)
if [ ${#need[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y "${need[@]}"
fi

# The windows preset: MinGW-w64, Release (the archive gets no debugging
# information, and the build is faster), warnings as errors.
echo "+ cmake --preset windows && cmake --build --preset windows"
cmake --preset windows
cmake --build --preset windows
rm -f build-win/vexlar-*-win64.zip
(cd build-win && cpack -G ZIP >/dev/null)
archive=$(ls build-win/vexlar-*-win64.zip)
echo "release archive: $archive"

# A prefix of our own and one persistent wineserver for the whole leg, so
# that each start of a Windows program costs a fraction of a second.
export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/vexlar-wine.XXXXXX)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
stop_wine() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
}
trap stop_wine EXIT
wineserver -p
timeout 300 wineboot -i >/dev/null 2>&1

# The data cases run in vexlar_tests.exe; the conformance cases join them
# through VEXLAR_EXTRA_CASES, as a Windows path (Z: is the POSIX root).
conformance=${VEXLAR_CONFORMANCE_CASES:-../shared/conformance/cases}
if [ -d "$conformance" ]; then
  VEXLAR_EXTRA_CASES=$(winepath -w "$(realpath "$conformance")")
  export VEXLAR_EXTRA_CASES
  echo "data cases: $(find tests/cases -type d -name expect | wc -l) in tests/cases," \
    "$(find "$conformance" -type d -name expect | wc -l) in $VEXLAR_EXTRA_CASES"
else
  echo "data cases: $(find tests/cases -type d -name expect | wc -l) in tests/cases (no $conformance)"
fi
unit_passed=0
unit_failed=0
for program in vexlar_unit_tests vexlar_e2e_tests; do
  echo "+ wine build-win/$program.exe"
  xml=build-win/$program.xml
  rm -f "$xml"
  status=0
  timeout 900 wine "build-win/$program.exe" --gtest_brief=1 "--gtest_output=xml:$xml" || status=$?
  read -r passed failed < <(python3 - "$xml" <<'EOF'
import sys, xml.etree.ElementTree as ET
try:
    root = ET.parse(sys.argv[1]).getroot()
    tests, failed = int(root.get("tests")), int(root.get("failures")) + int(root.get("errors"))
    print(tests - failed - int(root.get("disabled", 0)), failed)
except (OSError, ET.ParseError, TypeError):
    print(0, 1)  # no report: the run itself failed
EOF
  )
  if [ "$status" -ne 0 ] && [ "$failed" -eq 0 ]; then failed=1; fi
  unit_passed=$((unit_passed + passed))
  unit_failed=$((unit_failed + failed))
done
echo "windows test programs: $unit_passed passed, $unit_failed failed"

# What only a started vexlar.exe shows, when it waits for a key in a console
# window of its own (tmux is the terminal that gives it one), and its version
# resource and manifest. Each script ends with "N passed, N failed".
e2e_passed=0
e2e_failed=0
run_script() {
  local name=$1 log=build-win/${1%.py}.txt status=0 passed failed
  shift
  echo "+ python3 tests/$name"
  python3 "tests/$name" --exe build-win/vexlar.exe "$@" >"$log" 2>&1 || status=$?
  grep -v '^ok ' "$log" || true
  read -r passed failed < <(sed -n 's/^\([0-9]*\) passed, \([0-9]*\) failed$/\1 \2/p' "$log" |
    tail -1 | grep . || echo 0 1)
  if [ "$status" -ne 0 ] && [ "$failed" -eq 0 ]; then failed=1; fi
  e2e_passed=$((e2e_passed + passed))
  e2e_failed=$((e2e_failed + failed))
}
run_script windows_e2e.py --zip "$archive"
run_script windows_console.py
run_script watch_e2e.py --wine
run_script pe_resources.py --version "$(wine build-win/vexlar.exe --version | tr -d '\r')"

passed=$((unit_passed + e2e_passed))
failed=$((unit_failed + e2e_failed))
echo "windows leg: ${SECONDS}s"
echo "windows: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
