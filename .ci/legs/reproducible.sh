#!/usr/bin/env bash
# Reproducible-build leg: builds the release packages of the last commit
# twice, in two folders of different names and depths, one after the other
# under different umasks, and requires the same bytes: the .tar.gz, the
# .deb, the Windows ZIP, SHA256SUMS and the executables. The first build is
# from `git archive` with SOURCE_DATE_EPOCH set here; the second from a
# clone, where packaging takes the time of the last commit from git itself.
# Only the executables and their packages are built (Release, no tests).
set -euo pipefail
cd "$(dirname "$0")/../.."
top=$PWD
SECONDS=0

need=()
command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || need+=(g++-mingw-w64-x86-64)
command -v dpkg-shlibdeps >/dev/null 2>&1 || need+=(dpkg-dev)
if [ ${#need[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y "${need[@]}"
fi

commit=$(git rev-parse HEAD)
work=$(mktemp -d /tmp/vexlar-reproducible.XXXXXX)
trap 'rm -rf "$work"' EXIT

# packages SOURCE BUILD: the Linux packages in BUILD/linux, the ZIP in
# BUILD/windows.
packages() {
  local source=$1 build=$2
  cmake -S "$source" -B "$build/linux" -DCMAKE_BUILD_TYPE=Release -DVEXLAR_BUILD_TESTS=OFF >/dev/null
  cmake --build "$build/linux" -j2 --target vexlar >/dev/null
  (cd "$build/linux" && cpack -G "TGZ;DEB" >/dev/null)
  cmake -S "$source" -B "$build/windows" -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DVEXLAR_BUILD_TESTS=OFF >/dev/null
  cmake --build "$build/windows" -j2 --target vexlar >/dev/null
  (cd "$build/windows" && cpack -G ZIP >/dev/null)
}

echo "+ build 1: git archive $commit, SOURCE_DATE_EPOCH from git log, umask 022"
mkdir -p "$work/one/src"
git archive "$commit" | tar -x -C "$work/one/src"
(
  umask 022
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct "$commit")
  export SOURCE_DATE_EPOCH
  packages "$work/one/src" "$work/one/build"
)
sleep 1  # a second later: no time of the build may show
echo "+ build 2: git clone, no SOURCE_DATE_EPOCH, umask 027"
mkdir -p "$work/second/deeper"
git clone --quiet --no-local "$top" "$work/second/deeper/vexlar-source"
git -C "$work/second/deeper/vexlar-source" checkout --quiet --detach "$commit"
(
  umask 027
  unset SOURCE_DATE_EPOCH
  packages "$work/second/deeper/vexlar-source" "$work/second/deeper/out"
)

failed=0
# same NAME FILE1 FILE2
same() {
  if cmp -s "$2" "$3"; then
    echo "ok   $1 ($(sha256sum <"$2" | cut -c1-16))"
  else
    echo "FAIL $1 differs: $2 $3"
    failed=$((failed + 1))
  fi
}
one=$work/one/build
two=$work/second/deeper/out
for part in linux windows; do
  # Every package made, by name, and SHA256SUMS.
  names=$(cd "$one/$part" && ls vexlar[-_]*.tar.gz vexlar[-_]*.deb vexlar[-_]*.zip SHA256SUMS 2>/dev/null || true)
  for name in $names; do
    same "$part/$name" "$one/$part/$name" "$two/$part/$name"
  done
  (cd "$one/$part" && sha256sum -c --quiet SHA256SUMS) && echo "ok   $part/SHA256SUMS checks" ||
    { echo "FAIL $part/SHA256SUMS does not check"; failed=$((failed + 1)); }
done
same "the Linux executable" "$one/linux/vexlar" "$two/linux/vexlar"
same "the Windows executable" "$one/windows/vexlar.exe" "$two/windows/vexlar.exe"
[ -n "$(ls "$one/windows"/vexlar-*-win64.zip 2>/dev/null)" ] || { echo "FAIL no ZIP"; failed=$((failed + 1)); }

# entries ARCHIVE: one line per entry of a .tar.gz or ZIP, with its time,
# mode and owner or checksum.
entries() {
  python3 - "$1" <<'EOF'
import sys, tarfile, zipfile
path = sys.argv[1]
if path.endswith(".zip"):
    for i in zipfile.ZipFile(path).infolist():
        print(i.filename, i.date_time, oct(i.external_attr >> 16), i.CRC)
else:
    for m in tarfile.open(path):
        print(m.name, m.mtime, oct(m.mode), m.uid, m.gid, m.size)
EOF
}
if [ "$failed" -gt 0 ]; then
  # For the log: how the entries of each archive that differs differ.
  for part in linux windows; do
    for name in $(cd "$one/$part" && ls vexlar[-_]*.tar.gz vexlar[-_]*.zip 2>/dev/null); do
      cmp -s "$one/$part/$name" "$two/$part/$name" && continue
      echo "--- $part/$name"
      diff <(entries "$one/$part/$name") <(entries "$two/$part/$name") || true
    done
  done
fi
echo "reproducible leg: ${SECONDS}s"
echo "reproducible: $failed failed"
[ "$failed" -eq 0 ]
