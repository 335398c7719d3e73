#!/usr/bin/env bash
# Fetches the SQLite source from Debian's source package "sqlite3" at a pinned
# version, checks it against pinned checksums and builds the amalgamation
# (sqlite3.c and sqlite3.h) that SolvikaData.dll compiles in.
#
# Result: third_party/sqlite/sqlite3.c and sqlite3.h in the work tree (git-
# ignored). The built amalgamation is also kept in a per-user cache, so a second
# run (or a fresh clone on the same machine) only copies two files.
#
# Safe to run again. Uses $SUDO (empty when root) for apt.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
SUDO="${SUDO-}"
if [ -z "$SUDO" ] && [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

SQLITE_DEB_VERSION="3.40.1-2+deb12u2"
SQLITE_DSC="sqlite3_${SQLITE_DEB_VERSION}.dsc"
SQLITE_DSC_SHA256="ee3459ae9d00939741c7708fc1b8ce1bde12d8c3fb1dfa005bbbc8651d884e23"
SQLITE_ORIG="sqlite3_3.40.1.orig.tar.xz"
SQLITE_ORIG_SHA256="aaa776260ab4dc976db34aa7891819484c8676b5b2783123ebc6301e2ca5d655"

OUT="$ROOT/third_party/sqlite"
CACHE="${XDG_CACHE_HOME:-$HOME/.cache}/solvika/sqlite-$SQLITE_DEB_VERSION"

have_output() { [ -s "$1/sqlite3.c" ] && [ -s "$1/sqlite3.h" ] && [ -f "$1/VERSION" ] && \
  [ "$(cat "$1/VERSION")" = "$SQLITE_DEB_VERSION" ]; }

if have_output "$OUT"; then exit 0; fi

copy_out() {
  mkdir -p "$OUT"
  cp "$CACHE/sqlite3.c" "$CACHE/sqlite3.h" "$OUT/"
  echo "$SQLITE_DEB_VERSION" >"$OUT/VERSION"
  echo "fetch_sqlite: amalgamation $SQLITE_DEB_VERSION in $OUT"
}

if have_output "$CACHE"; then copy_out; exit 0; fi

# Tools the source download and the amalgamation build need.
need=()
for p in dpkg-dev tcl gcc make xz-utils; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done

# apt-get source needs a deb-src entry: add a twin of the existing Debian entry.
src_added=0
if ! grep -rqsE '^[[:space:]]*(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed -E 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
      $SUDO tee /etc/apt/sources.list.d/debian-src.sources >/dev/null
  elif [ -f /etc/apt/sources.list ]; then
    grep -E '^[[:space:]]*deb[[:space:]]' /etc/apt/sources.list | sed -E 's/^([[:space:]]*)deb /\1deb-src /' |
      $SUDO tee /etc/apt/sources.list.d/debian-src.list >/dev/null
  else
    echo "fetch_sqlite: no Debian apt source found to twin" >&2
    exit 1
  fi
  src_added=1
fi
if [ "$src_added" = 1 ] || [ ${#need[@]} -gt 0 ] || ! apt-cache showsrc sqlite3 2>/dev/null | grep -q "^Version: $SQLITE_DEB_VERSION\$"; then
  $SUDO apt-get update -q
fi
if [ ${#need[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${need[@]}"
fi

work="$CACHE.work"
rm -rf "$work"
mkdir -p "$work"
cd "$work"
# Download only; the checksums are checked before anything is unpacked.
quiet() { "$@" >"$work/log" 2>&1 || { cat "$work/log" >&2; exit 1; }; }
quiet apt-get source --download-only -q "sqlite3=$SQLITE_DEB_VERSION"

check() {
  local file="$1" want="$2"
  local got
  got="$(sha256sum "$file" | cut -d' ' -f1)"
  if [ "$got" != "$want" ]; then
    echo "fetch_sqlite: checksum mismatch for $file: $got, expected $want" >&2
    exit 1
  fi
}
check "$SQLITE_DSC" "$SQLITE_DSC_SHA256"
check "$SQLITE_ORIG" "$SQLITE_ORIG_SHA256"

# dpkg-source checks every file of the package against the (pinned) .dsc.
quiet dpkg-source -x "$SQLITE_DSC" src
cd src
quiet ./configure --disable-tcl
quiet make -j2 sqlite3.c
mkdir -p "$CACHE"
cp sqlite3.c sqlite3.h "$CACHE/"
echo "$SQLITE_DEB_VERSION" >"$CACHE/VERSION"
cd /
rm -rf "$work"
copy_out
