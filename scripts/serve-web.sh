#!/usr/bin/env bash
# Serves the browser build of KARIDO on this machine only (127.0.0.1), with
# the two headers that make the page cross-origin isolated, which its
# threads need (shared memory between the page and the render thread's
# worker):
#   Cross-Origin-Opener-Policy: same-origin
#   Cross-Origin-Embedder-Policy: require-corp
# A file:// page, or a server without these headers, shows a message instead.
#
# Usage: scripts/serve-web.sh [PORT [FOLDER]]
#   PORT    default 8000; 0 takes any free port
#   FOLDER  default build/web/app (cmake --preset web && cmake --build --preset web)
# The first line printed is the address to open. Ends with Ctrl+C.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
port=${1:-8000}
folder=${2:-$root/build/web/app}
if [[ ! $port =~ ^[0-9]+$ ]] || (( port > 65535 )); then
    echo "serve-web: not a port number: $port" >&2
    exit 2
fi
if [[ ! -f $folder/karido.html ]]; then
    echo "serve-web: no karido.html in $folder; build it first:" \
         "cmake --preset web && cmake --build --preset web" >&2
    exit 1
fi

exec python3 - "$port" "$folder" <<'PYTHON'
import functools
import http.server
import sys

port, folder = int(sys.argv[1]), sys.argv[2]


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {
        **http.server.SimpleHTTPRequestHandler.extensions_map,
        ".wasm": "application/wasm",
        ".js": "text/javascript",
        ".html": "text/html; charset=utf-8",
    }

    def end_headers(self):
        self.send_header("Cross-Origin-Opener-Policy", "same-origin")
        self.send_header("Cross-Origin-Embedder-Policy", "require-corp")
        # A rebuilt page is never shown from the browser's cache.
        self.send_header("Cache-Control", "no-store")
        super().end_headers()

    def log_message(self, format, *args):
        pass


server = http.server.ThreadingHTTPServer(
    ("127.0.0.1", port), functools.partial(Handler, directory=folder))
print(f"http://127.0.0.1:{server.server_address[1]}/karido.html", flush=True)
try:
    server.serve_forever()
except KeyboardInterrupt:
    pass
PYTHON
