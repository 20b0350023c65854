#!/usr/bin/env bash
# Installs the Debian packages that building and testing KARIDO need, when
# any is missing. As root it uses apt-get; otherwise it prints the command.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libsdl2-dev libpng-dev libgif-dev libfreetype-dev xfonts-shinonome
  libgtest-dev libgmock-dev libbenchmark-dev
  clang llvm libclang-rt-14-dev
  xvfb xdotool x11-utils imagemagick python3
  dpkg-dev file lintian desktop-file-utils appstream man-db
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 googletest
  wine wine64 fonts-wine
  libxrender1 libxrandr2 libxi6 libxcursor1 libxcomposite1 libxinerama1 libxfixes3
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "missing Debian packages; install them with:" >&2
  echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
