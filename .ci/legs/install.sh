#!/usr/bin/env bash
# Install leg: the program as an install puts it. Installs build/ into a
# temporary prefix and converts the bundled example through PATH from
# another folder, which must give its expected mission.pld; lists the .deb.
# (Started through PATH, a link, --dyno and VEXLAR_DYNO from the build tree:
# the e2e tests.)
set -euo pipefail
cd "$(dirname "$0")/../.."
top=$PWD
expected=$top/tests/cases/bundled-example/expect/mission.pld
command -v dpkg-deb >/dev/null 2>&1 || { apt-get update && apt-get install -y dpkg; }

cmake --preset default >/dev/null
cmake --build --preset default --target vexlar
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install build --prefix "$work/prefix" >/dev/null
mkdir -p "$work/m"
cp examples/attack.kolvo "$work/m/"

failed=0
# check NAME STATUS PATTERN MISSION COMMAND...: runs COMMAND in the mission
# folder; the status must be STATUS, the console must hold PATTERN, and
# mission.pld must equal the file MISSION (none written when MISSION is -).
check() {
  local name=$1 status=$2 pattern=$3 mission=$4
  shift 4
  rm -f "$work/m/mission.pld"
  local got=0
  (cd "$work/m" && "$@") >"$work/console" 2>&1 || got=$?
  if [ "$got" != "$status" ] || ! grep -q -- "$pattern" "$work/console" ||
    { [ "$mission" = - ] && [ -e "$work/m/mission.pld" ]; } ||
    { [ "$mission" != - ] && ! cmp -s "$mission" "$work/m/mission.pld"; }; then
    echo "FAIL $name (status $got)"
    sed 's/^/    /' "$work/console" | head -20
    failed=$((failed + 1))
  else
    echo "ok   $name"
  fi
}

installed=$work/prefix/bin/vexlar
check "installed, through PATH" 0 "DynO config file: $work/prefix/share/vexlar/DynO.cpp" \
  "$expected" env PATH="$work/prefix/bin:$PATH" vexlar attack.kolvo
# The packages: the .deb holds the GNU layout.
(cd build && cpack -G DEB >/dev/null)
deb=$(ls build/vexlar_*.deb)
contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
for file in ./usr/bin/vexlar ./usr/share/vexlar/DynO.cpp ./usr/share/vexlar/DynO/checkpoint.txt \
  ./usr/share/doc/vexlar/README.md ./usr/share/doc/vexlar/LICENSE ./usr/share/doc/vexlar/CHANGELOG.md; do
  if grep -qx -- "$file" <<<"$contents"; then
    echo "ok   $(basename "$deb") holds $file"
  else
    echo "FAIL $(basename "$deb") lacks $file"
    failed=$((failed + 1))
  fi
done

echo "install: $failed failed"
[ "$failed" -eq 0 ]
