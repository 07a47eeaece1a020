#!/usr/bin/env bash
# Install leg: the program as an install puts it. Installs build/ into a
# temporary prefix and converts the bundled example through PATH from
# another folder, which must give its expected mission.pld; makes the
# .tar.gz and the .deb, checks what the .deb holds and says, runs lintian
# on it (no error, no warning that is not overridden with its reason), and
# checks SHA256SUMS.
# (Started through PATH, a link, --dyno and VEXLAR_DYNO from the build tree:
# the e2e tests.)
set -euo pipefail
cd "$(dirname "$0")/../.."
top=$PWD
expected=$top/tests/cases/bundled-example/expect/mission.pld
need=()
command -v dpkg-deb >/dev/null 2>&1 || need+=(dpkg)
command -v dpkg-shlibdeps >/dev/null 2>&1 || need+=(dpkg-dev)
command -v lintian >/dev/null 2>&1 || need+=(lintian)
command -v groff >/dev/null 2>&1 || need+=(groff-base)
if [ ${#need[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y "${need[@]}"
fi

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
for file in share/man/man1/vexlar.1 share/bash-completion/completions/vexlar; do
  if [ -f "$work/prefix/$file" ]; then
    echo "ok   installed $file"
  else
    echo "FAIL not installed: $file"
    failed=$((failed + 1))
  fi
done

# The packages: the .deb holds the GNU layout and what Debian asks for.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/CMakeCache.txt)
rm -f build/vexlar_*.deb build/vexlar-*.tar.gz build/SHA256SUMS
(cd build && cpack -G "TGZ;DEB" >/dev/null)
deb=build/vexlar_${version}_$(dpkg --print-architecture).deb
contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
for file in ./usr/bin/vexlar ./usr/share/vexlar/DynO.cpp ./usr/share/vexlar/DynO/checkpoint.txt \
  ./usr/share/doc/vexlar/README.md ./usr/share/doc/vexlar/LICENSE ./usr/share/doc/vexlar/CHANGELOG.md \
  ./usr/share/doc/vexlar/copyright ./usr/share/doc/vexlar/changelog.gz \
  ./usr/share/man/man1/vexlar.1.gz ./usr/share/bash-completion/completions/vexlar \
  ./usr/share/lintian/overrides/vexlar; do
  if grep -qx -- "$file" <<<"$contents"; then
    echo "ok   $(basename "$deb") holds $file"
  else
    echo "FAIL $(basename "$deb") lacks $file"
    failed=$((failed + 1))
  fi
done

# check_field FIELD PATTERN: the .deb's control field must match PATTERN.
check_field() {
  local value
  value=$(dpkg-deb --field "$deb" "$1")
  if grep -qE -- "$2" <<<"$value"; then
    echo "ok   $1: $value"
  else
    echo "FAIL $1: '$value' does not match $2"
    failed=$((failed + 1))
  fi
}
check_field Package '^vexlar$'
check_field Version "^${version//./\\.}\$"
check_field Depends '^libc6 \(>= [0-9.]+\)(, .*)?$'
check_field Section '^utils$'
check_field Priority '^optional$'
check_field Description '^Converts .*mission\.pld'
# Debian's changelog, read by Debian's own tool, is of this version.
changelog_version=$(dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/doc/vexlar/changelog.gz |
  gzip -dc | dpkg-parsechangelog -l - -S Version)
if [ "$changelog_version" = "$version" ]; then
  echo "ok   changelog.gz: version $version"
else
  echo "FAIL changelog.gz: version '$changelog_version', not $version"
  failed=$((failed + 1))
fi
if [ -f "build/vexlar-$version-Linux.tar.gz" ]; then
  echo "ok   vexlar-$version-Linux.tar.gz"
else
  echo "FAIL no build/vexlar-$version-Linux.tar.gz"
  failed=$((failed + 1))
fi

echo "+ lintian $deb"
if lintian --fail-on error,warning --info --pedantic "$deb"; then
  echo "ok   lintian: no error, no warning"
else
  echo "FAIL lintian"
  failed=$((failed + 1))
fi
echo "+ (cd build && sha256sum -c SHA256SUMS)"
if (cd build && sha256sum -c SHA256SUMS) && [ "$(wc -l <build/SHA256SUMS)" -eq 2 ]; then
  echo "ok   SHA256SUMS: both packages"
else
  echo "FAIL SHA256SUMS"
  failed=$((failed + 1))
fi

echo "install: $failed failed"
[ "$failed" -eq 0 ]
