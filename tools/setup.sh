#!/usr/bin/env bash
# Installs everything the build, the tests and the demo need on a Debian 12
# machine. Safe to run again: it only installs what is missing.
set -euo pipefail

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

PACKAGES=(
  cmake ninja-build make python3
  g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-i686-dev libz-mingw-w64-dev
  wine wine32:i386 xvfb xauth locales
  googletest zip unzip
  nginx-light  # a real web server for the network tests
  clang libclang-rt-14-dev zlib1g-dev  # native fuzz targets (libFuzzer, sanitizers)
  imagemagick  # screenshots of the windows on the virtual display (import)
  x11-utils  # xwininfo: the demo waits for the main window to be on screen
  mueller7-dict  # source of the dictionary plugin's demo dictionary (GPL 2 or later)
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  $SUDO apt-get -o DPkg::Lock::Timeout=900 update -q
  # Packages must not start system services (nginx would take port 80): the
  # tests start their own servers on free ports.
  policy=/usr/sbin/policy-rc.d
  own_policy=0
  if [ ! -e "$policy" ]; then
    printf '#!/bin/sh\nexit 101\n' | $SUDO tee "$policy" >/dev/null
    $SUDO chmod +x "$policy"
    own_policy=1
  fi
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get -o DPkg::Lock::Timeout=900 install -y -q --no-install-recommends "${missing[@]}" || status=$?
  if [ "$own_policy" = 1 ]; then $SUDO rm -f "$policy"; fi
  [ "${status:-0}" = 0 ] || exit "$status"
fi

# Wine needs the Russian UTF-8 locale to report the ANSI code page 1251 and to
# handle Cyrillic file names.
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  echo "setup: generating ru_RU.UTF-8"
  $SUDO sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen
fi
bash "$(dirname "$0")/fetch_sqlite.sh"  # SQLite amalgamation for SolvikaData

# Wine draws the caption buttons (minimise, maximise, close) with the Marlett
# font; without it they show as the letters "0 1 r". Debian ships Marlett only
# in fonts-wine, together with Wine's own Tahoma, which would change every
# dialog's metrics once installed. So only Marlett is taken from the package,
# to be copied into each Wine prefix (ensure_wineprefix in env.sh). A machine
# that cannot fetch it still builds and tests; only the buttons look wrong.
MARLETT=/usr/local/share/solvika/marlett.ttf
if [ ! -s "$MARLETT" ]; then
  echo "setup: fetching the Marlett font"
  fonts_tmp="$(mktemp -d)"
  if (cd "$fonts_tmp" && apt-get download -q fonts-wine >/dev/null 2>&1 && dpkg-deb -x fonts-wine_*.deb x); then
    $SUDO install -D -m 644 "$fonts_tmp/x/usr/share/wine/fonts/marlett.ttf" "$MARLETT"
  else
    echo "setup: fonts-wine could not be fetched; caption buttons will show as letters"
  fi
  rm -rf "$fonts_tmp"
fi

# Wine for 32-bit Windows programs is itself a 32-bit Linux program. Some
# kernels run without 32-bit support ("Exec format error"); there the i386
# binaries run through QEMU's user-mode emulator (version 10 from Debian's
# backports: the version 7 of Debian 12 cannot start Wine), registered with
# the kernel's binfmt_misc (flag F: the emulator is opened once, at
# registration).
if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  echo "setup: this kernel does not run 32-bit programs; using qemu-i386 for them"
  QEMU=/usr/bin/qemu-i386
  if [ ! -x "$QEMU" ] || ! "$QEMU" --version | grep -q 'version 1[0-9]\.'; then
    src=/etc/apt/sources.list.d/bookworm-backports.sources
    if [ ! -e "$src" ]; then
      printf 'Types: deb\nURIs: http://deb.debian.org/debian\nSuites: bookworm-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' |
        $SUDO tee "$src" >/dev/null
      $SUDO apt-get -o DPkg::Lock::Timeout=900 update -q
    fi
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get -o DPkg::Lock::Timeout=900 install -y -q --no-install-recommends -t bookworm-backports qemu-user
  fi
  if [ ! -e /proc/sys/fs/binfmt_misc/register ]; then
    $SUDO mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  fi
  if ! grep -qs "interpreter $QEMU\$" /proc/sys/fs/binfmt_misc/solvika-i386; then
    [ -e /proc/sys/fs/binfmt_misc/solvika-i386 ] && echo -1 | $SUDO tee /proc/sys/fs/binfmt_misc/solvika-i386 >/dev/null
    printf '%s' ":solvika-i386:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:$QEMU:F" |
      $SUDO tee /proc/sys/fs/binfmt_misc/register >/dev/null
  fi
  /lib/ld-linux.so.2 --version >/dev/null 2>&1 || { echo "setup: 32-bit programs still cannot run" >&2; exit 1; }
fi
