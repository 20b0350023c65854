#!/usr/bin/env bash
# Builds the Debian package from a fresh build folder and checks it as a
# person's machine meets it: lintian on the .deb (no errors allowed); the menu
# entry, the AppStream data, the icons and the manual page it carries; then,
# as root, installs it with apt-get, runs the end-to-end tests against the
# installed /usr/games/karido, checks the same files where they were
# installed, purges the package and checks that it left nothing behind.
# Without root it checks the files unpacked from the .deb and says what it
# skips. The build folder is build/package unless PACKAGE_BUILD_DIR names
# another; it is made anew.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

build="${PACKAGE_BUILD_DIR:-build/package}"
werror=OFF
[ "${CI:-}" = true ] && werror=ON

echo "== package: build =="
rm -rf "$build"
# Debian's build flags, with all the hardening (fortified functions, full
# RELRO), as packages of the distribution are built.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cppflags=$(dpkg-buildflags --get CPPFLAGS)
CFLAGS="$(dpkg-buildflags --get CFLAGS) $cppflags" \
  CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $cppflags" \
  LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DKARIDO_BUILD_TESTS=OFF -DKARIDO_BUILD_BENCH=OFF -DKARIDO_BUILD_TOOLS=OFF \
  -DKARIDO_WERROR="$werror" >/dev/null
cmake --build "$build" --target karido
(cd "$build" && cpack -G DEB)
debs=("$build"/karido_*_*.deb)
if [ "${#debs[@]}" -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "FAIL: expected one karido_<version>_<arch>.deb in $build, found: ${debs[*]}" >&2
  exit 1
fi
deb=$(realpath "${debs[0]}")
echo "-- $(basename "$deb")"
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"
# Paths in the package, without the leading '.'; directories end in '/'.
mapfile -t paths < <(dpkg-deb --contents "$deb" | awk '{print $6}' | sed 's/^\.//')
metainfo=$(printf '%s\n' "${paths[@]}" | grep '^/usr/share/metainfo/.*\.metainfo\.xml$')

echo "== package: lintian =="
# lintian warns when it runs as root; that warning is not about the package.
lintian --display-info --fail-on error "$deb" 2> >(grep -v 'running with root privileges' >&2)
echo "lintian: no errors"

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Checks the package's files under root folder $1 ('' for the installed ones).
check_files() {
  local root=$1 desktop=$1/usr/share/applications/karido.desktop
  if desktop-file-validate "$desktop"; then
    echo "ok:   desktop-file-validate ${desktop#"$root"}"
  else
    fail "desktop-file-validate ${desktop#"$root"}"
  fi
  if grep -qx "Exec=/usr/games/karido" "$desktop"; then
    echo "ok:   the menu entry starts /usr/games/karido"
  else
    fail "the menu entry does not start /usr/games/karido: $(grep '^Exec=' "$desktop")"
  fi
  if appstreamcli validate --no-net "$root$metainfo"; then
    echo "ok:   appstreamcli validate --no-net $metainfo"
  else
    fail "appstreamcli validate --no-net $metainfo"
  fi

  # The icons, read by a decoder of their own: each is the size its folder
  # says.
  local size icon got
  for size in 16 32 48 64 128 256; do
    icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/karido.png
    got=$(identify -format '%wx%h' "$icon" 2>&1) || got="unreadable: $got"
    if [ "$got" = "${size}x${size}" ]; then
      echo "ok:   icon ${size}x${size}"
    else
      fail "icon ${icon#"$root"}: $got"
    fi
  done

  # The manual page renders without a warning and has what a reader needs.
  local page=$root/usr/share/man/man6/karido.6.gz text warnings section
  warnings=$(mktemp)
  text=$(MANWIDTH=80 man --warnings -l "$page" 2>"$warnings") || fail "man -l ${page#"$root"}"
  if [ -s "$warnings" ]; then
    fail "man -l ${page#"$root"} warns:"
    cat "$warnings" >&2
  fi
  rm -f "$warnings"
  for section in 'KARIDO(6)' NAME SYNOPSIS KEYS MOUSE SOUNDS 'EXIT STATUS' \
    SDL_AUDIODRIVER SDL_RENDER_DRIVER SDL_VIDEODRIVER; do
    grep -qF -- "$section" <<<"$text" || fail "the manual page has no '$section'"
  done
  echo "ok:   man -l ${page#"$root"} renders ($(wc -l <<<"$text") lines)"
}

echo "== package: its files, unpacked =="
unpacked=$(mktemp -d)
cleanup_unpacked() { rm -rf "$unpacked"; }
trap cleanup_unpacked EXIT
dpkg-deb -x "$deb" "$unpacked"
check_files "$unpacked"
# The menu entry, the AppStream data and the icons together, as a software
# centre finds them.
if appstreamcli validate-tree --no-net "$unpacked"; then
  echo "ok:   appstreamcli validate-tree --no-net"
else
  fail "appstreamcli validate-tree --no-net"
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "not root: skipped installing the package with apt-get, the end-to-end tests of the" \
    "installed program, the checks of the installed files and the purge"
  [ "$failures" -eq 0 ] || { echo "package: $failures check(s) failed" >&2; exit 1; }
  echo "package: all checks passed (as far as they go without root)"
  exit 0
fi

echo "== package: install =="
if dpkg-query -W -f='${Status}' karido 2>/dev/null | grep -q 'ok installed'; then
  echo "FAIL: karido is installed already; remove it first, so that this test can leave the" \
    "machine as it found it" >&2
  exit 1
fi
state=$(mktemp -d)
# What is installed, and which of the package's paths exist, before.
dpkg-query -W -f='${Package}:${Architecture} ${Version} ${Status}\n' | sort >"$state/before"
for path in "${paths[@]}"; do
  [ -e "$path" ] && echo "$path"
done >"$state/existed"

installed=()
purge() {
  [ "${#installed[@]}" -eq 0 ] && return 0
  echo "== package: purge =="
  apt-get purge -y -qq "${installed[@]}" >/dev/null
  installed=()
}
cleanup() {
  purge || echo "FAIL: could not purge ${installed[*]}" >&2
  cleanup_unpacked
  rm -rf "$state"
}
trap cleanup EXIT

export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
dpkg-query -W -f='${Package}:${Architecture} ${Version} ${Status}\n' | sort >"$state/after"
# karido and whatever apt-get brought in for it.
mapfile -t installed < <(comm -13 "$state/before" "$state/after" | awk '{print $1}')
echo "installed: ${installed[*]}"
dpkg-query -W -f='${Package} ${Version} ${Status}\n' karido

echo "== package: the installed program =="
missing=$(dpkg -L karido | while read -r path; do [ -e "$path" ] || echo "$path"; done)
[ -z "$missing" ] || fail "listed by dpkg but not on disk: $missing"
[ "$(man -w karido 2>/dev/null || true)" = /usr/share/man/man6/karido.6.gz ] ||
  fail "man -w karido does not find /usr/share/man/man6/karido.6.gz"
check_files ""
bash tests/e2e/window_e2e.sh /usr/games/karido || fail "window_e2e.sh /usr/games/karido"
bash tests/e2e/arguments_e2e.sh /usr/games/karido || fail "arguments_e2e.sh /usr/games/karido"

purge
echo "== package: after the purge =="
dpkg-query -W -f='${Package}:${Architecture} ${Version} ${Status}\n' | sort >"$state/purged"
if diff "$state/before" "$state/purged"; then
  echo "ok:   the installed packages are as before"
else
  fail "the installed packages differ from before (above)"
fi
left=""
for path in "${paths[@]}"; do
  if [ -e "$path" ] && ! grep -qxF -- "$path" "$state/existed"; then
    left+=" $path"
  fi
done
[ ! -e /var/lib/dpkg/info/karido.list ] || left+=" /var/lib/dpkg/info/karido.list"
if [ -z "$left" ]; then
  echo "ok:   nothing of the package is left"
else
  fail "left behind:$left"
fi

[ "$failures" -eq 0 ] || { echo "package: $failures check(s) failed" >&2; exit 1; }
echo "package: all checks passed"
