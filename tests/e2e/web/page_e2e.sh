#!/usr/bin/env bash
# Serves the browser build with scripts/serve-web.sh on a free port of
# 127.0.0.1 and runs the page's end-to-end test (page_e2e.mjs) against it in
# Debian's Chromium; stops the server afterwards.
#
# Usage: page_e2e.sh FOLDER_WITH_KARIDO_HTML SCREENSHOT.png
# Needs chromium, node and this folder's node packages (npm ci, which
# scripts/deps.sh runs).
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../../.." && pwd)
folder=${1:?usage: page_e2e.sh FOLDER SCREENSHOT.png}
screenshot=${2:?usage: page_e2e.sh FOLDER SCREENSHOT.png}

if [[ ! -d $here/node_modules/playwright-core ]]; then
    echo "page_e2e: playwright-core is not installed; run: npm ci --prefix tests/e2e/web" >&2
    exit 1
fi
if [[ ! -x ${KARIDO_CHROMIUM:-/usr/bin/chromium} ]]; then
    echo "page_e2e: no Chromium at ${KARIDO_CHROMIUM:-/usr/bin/chromium}; install the Debian package chromium" >&2
    exit 1
fi

work=$(mktemp -d)
server=
cleanup() {
    [[ -n $server ]] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

mkfifo "$work/address"
"$root/scripts/serve-web.sh" 0 "$folder" >"$work/address" &
server=$!
# The server's first line is the page's address; the guard only ends a hang.
if ! read -r -t 60 url <"$work/address"; then
    echo "page_e2e: the server did not start" >&2
    exit 1
fi
echo "serving $url"
node "$here/page_e2e.mjs" "$url" "$screenshot"
