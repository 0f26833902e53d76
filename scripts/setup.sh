#!/usr/bin/env bash
# Installs every Debian package that the build, the program, the tests, the benchmarks and the
# fuzzers need. Idempotent: when everything is present it changes nothing and needs no network.
set -euo pipefail

PACKAGES=(
  # toolchain
  build-essential cmake ninja-build pkg-config git clang libclang-rt-14-dev
  # libraries the program and the UI library link
  libhidapi-dev libsqlite3-dev zlib1g-dev
  libx11-dev libxext-dev libxi-dev libxtst-dev libxrender-dev libxfixes-dev
  libcairo2-dev libpango1.0-dev libgdk-pixbuf-2.0-dev libfontconfig-dev
  libudev-dev libpulse-dev libcurl4-openssl-dev libglib2.0-dev
  # tests and benchmarks
  googletest libgtest-dev libgmock-dev libbenchmark-dev libpugixml-dev
  xvfb xauth xdotool xclip x11-utils x11-xserver-utils imagemagick xterm
  pulseaudio pulseaudio-utils dbus dbus-x11
  python3 zip unzip sqlite3 curl
  # input method tests: a pinyin XIM server, and locale sources for zh_CN.UTF-8
  uim-xim uim-pinyin locales
  # the program opens web addresses and files with the desktop's opener
  xdg-utils
  # shipped fonts: Open Sans is copied beside the program; the CJK font renders Chinese texts
  fonts-open-sans fonts-wqy-microhei
  # release checks: the installed tree's desktop entry and metainfo, the Debian package
  desktop-file-utils appstream lintian file
  # the README's screenshots are made small (scripts/screenshots.sh)
  pngquant optipng
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all ${#PACKAGES[@]} packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    SUDO="sudo"
  else
    echo "setup: missing packages (${missing[*]}) and neither root nor sudo is available" >&2
    exit 1
  fi
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! $SUDO apt-get update; then
  echo "setup: apt-get update failed" >&2
  exit 1
fi
if ! $SUDO apt-get install -y --no-install-recommends "${missing[@]}"; then
  echo "setup: FAILED to install one of: ${missing[*]}" >&2
  for p in "${missing[@]}"; do
    apt-cache policy "$p" 2>/dev/null | grep -q 'Candidate: (none)' && echo "setup: package $p has no installation candidate" >&2
  done
  exit 1
fi
echo "setup: done"
