#!/usr/bin/env bash
# Install leg: the program as users start it, not as the tests do. Installs
# build/ into a temporary prefix and converts the bundled example through
# PATH from another folder; starts the build through PATH and through a
# symbolic link; points --dyno and VEXLAR_DYNO at composition data of their
# own, and at a folder that is not there; lists the .deb. Each conversion
# must give the bundled example's expected mission.pld.
set -euo pipefail
cd "$(dirname "$0")/../.."
top=$PWD
expected=$top/tests/cases/bundled-example/expect/mission.pld
command -v dpkg-deb >/dev/null 2>&1 || { apt-get update && apt-get install -y dpkg; }

cmake -S . -B build >/dev/null
cmake --build build -j2 --target vexlar
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install build --prefix "$work/prefix" >/dev/null
mkdir -p "$work/m" "$work/links" "$work/data"
cp examples/attack.kolvo "$work/m/"
ln -s "$top/build/vexlar" "$work/links/vexlar"

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
check "build, through PATH" 0 "DynO config file: $top/build/DynO.cpp" "$expected" \
  env PATH="$top/build:$PATH" vexlar attack.kolvo
check "build, through a link" 0 "DynO config file: $top/build/DynO.cpp" "$expected" \
  "$work/links/vexlar" attack.kolvo

# Data of its own: its checkpoint script holds no vehicle, so 5 fewer.
cp -r data/DynO data/DynO.cpp "$work/data/"
: >"$work/data/DynO/checkpoint.txt"
"$installed" --dyno "$work/data" "$work/m/attack.kolvo" >/dev/null
mv "$work/m/mission.pld" "$work/own.pld"
grep -q "items=15;" "$work/own.pld" || { echo "FAIL own data: not 15 vehicles"; failed=$((failed + 1)); }
check "--dyno" 0 "DynO config file: $work/data/DynO.cpp" "$work/own.pld" \
  "$installed" --dyno "$work/data" attack.kolvo
check "VEXLAR_DYNO" 0 "DynO config file: $work/data/DynO.cpp" "$work/own.pld" \
  env VEXLAR_DYNO="$work/data" "$installed" attack.kolvo
check "--dyno wins over VEXLAR_DYNO" 0 "DynO config file: $top/data/DynO.cpp" "$expected" \
  env VEXLAR_DYNO="$work/data" "$installed" --dyno "$top/data" attack.kolvo
check "--dyno, a folder that is not there" 1 "ERROR: Cannot find DynO folder!" - \
  "$installed" --dyno "$work/none" attack.kolvo
check "VEXLAR_DYNO, a folder that is not there" 1 "Path: $work/none/" - \
  env VEXLAR_DYNO="$work/none" "$installed" attack.kolvo

# The packages: the .deb holds the GNU layout.
(cd build && cpack -G DEB >/dev/null)
deb=$(ls build/vexlar_*.deb)
contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
for file in ./usr/bin/vexlar ./usr/share/vexlar/DynO.cpp ./usr/share/vexlar/DynO/checkpoint.txt \
  ./usr/share/doc/vexlar/README.md; do
  if grep -qx -- "$file" <<<"$contents"; then
    echo "ok   $(basename "$deb") holds $file"
  else
    echo "FAIL $(basename "$deb") lacks $file"
    failed=$((failed + 1))
  fi
done

echo "install: $failed failed"
[ "$failed" -eq 0 ]
