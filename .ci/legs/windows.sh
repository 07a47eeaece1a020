#!/usr/bin/env bash
# Windows leg: cross-builds vexlar.exe and the unit tests with MinGW-w64, makes
# the release archive, and runs under Wine the two test programs (with
# the e2e one the data cases of tests/cases/ and the conformance cases beside the
# checkout) and what only a started vexlar.exe shows (tests/windows_e2e.py).
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
if [ ${#need[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y "${need[@]}"
fi

echo "+ cross build (build-win)"
# Release: the archive gets no debugging information, and the build is faster.
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release
cmake --build build-win -j2
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

echo "+ python3 tests/windows_e2e.py"
e2e_log=build-win/windows-e2e.txt
e2e_status=0
python3 tests/windows_e2e.py --exe build-win/vexlar.exe --zip "$archive" >"$e2e_log" 2>&1 ||
  e2e_status=$?
grep -v '^ok ' "$e2e_log" || true
read -r e2e_passed e2e_failed < <(sed -n 's/^\([0-9]*\) passed, \([0-9]*\) failed$/\1 \2/p' "$e2e_log" |
  tail -1 | grep . || echo 0 1)
if [ "$e2e_status" -ne 0 ] && [ "$e2e_failed" -eq 0 ]; then e2e_failed=1; fi

# The version resource and the manifest (tests/pe_resources.py).
echo "+ python3 tests/pe_resources.py"
pe_status=0
python3 tests/pe_resources.py --exe build-win/vexlar.exe \
  --version "$(wine build-win/vexlar.exe --version | tr -d '\r')" >build-win/pe-resources.txt 2>&1 ||
  pe_status=$?
grep -v '^ok ' build-win/pe-resources.txt || true
read -r pe_passed pe_failed < <(sed -n 's/^\([0-9]*\) passed, \([0-9]*\) failed$/\1 \2/p' \
  build-win/pe-resources.txt | tail -1 | grep . || echo 0 1)
if [ "$pe_status" -ne 0 ] && [ "$pe_failed" -eq 0 ]; then pe_failed=1; fi

passed=$((unit_passed + e2e_passed + pe_passed))
failed=$((unit_failed + e2e_failed + pe_failed))
echo "windows leg: ${SECONDS}s"
echo "windows: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
