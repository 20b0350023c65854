#!/usr/bin/env bash
# Installs the Debian packages that building and testing KARIDO need, when
# any is missing, and the node packages of the page's end-to-end test (npm
# ci, from their lock file). As root it uses apt-get; otherwise it prints the
# command.
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
  emscripten chromium
  libxrender1 libxrandr2 libxi6 libxcursor1 libxcomposite1 libxinerama1 libxfixes3
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
if [ ${#missing[@]} -ne 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "missing Debian packages; install them with:" >&2
    echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The page's test drives Chromium with playwright-core, at the version its
# lock file pins; installed again only when the lock file changes.
page_tests=$(cd "$(dirname "$0")/../tests/e2e/web" && pwd)
installed_lock=$page_tests/node_modules/.installed-from-package-lock.json
if ! cmp -s "$page_tests/package-lock.json" "$installed_lock"; then
  node_major=$(node -p 'process.versions.node.split(".")[0]' 2>/dev/null || echo 0)
  if ! command -v npm >/dev/null || [ "$node_major" -lt 20 ]; then
    echo "the page's test needs Node.js 20 or newer with npm (playwright-core);" \
         "found: node ${node_major}, npm $(command -v npm || echo none)" >&2
    exit 1
  fi
  echo "installing the page test's node packages"
  npm ci --prefix "$page_tests" --no-audit --no-fund >/dev/null
  cp "$page_tests/package-lock.json" "$installed_lock"
fi
