#!/usr/bin/env bash
# The page's browser tests: serves SITE_FOLDER on 127.0.0.1 (a page cannot
# fetch its module from file://) and drives Debian's Chromium through it,
# comparing what the page gives with what the Linux companion writes.
#   bash tests/web/run_page_tests.sh SITE_FOLDER LINUX_COMPANION [NAME_PATTERN]
set -euo pipefail

if [ $# -lt 2 ] || [ $# -gt 3 ]; then
    echo "usage: $0 SITE_FOLDER LINUX_COMPANION [NAME_PATTERN]" >&2
    exit 2
fi
site=$(realpath "$1")
companion=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
if [ ! -f "$site/index.html" ]; then
    echo "$0: no index.html in $site: build the page first" >&2
    exit 2
fi
if [ ! -x "$companion" ]; then
    echo "$0: $companion is not a program: build the companion first" >&2
    exit 2
fi

# The driver, at the version the lock file pins.
if [ ! -d "$here/node_modules/playwright-core" ]; then
    (cd "$here" && npm ci --no-audit --no-fund --loglevel=error)
fi

work=$(mktemp -d)
server=
stop() {
    if [ -n "$server" ]; then
        kill "$server" 2>/dev/null || true
        wait "$server" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap stop EXIT

# Port 0: the system picks a free port, which the server's first line names.
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$site" >"$work/server.log" 2>&1 &
server=$!
port=
for _ in $(seq 100); do
    port=$(sed -n 's/^Serving HTTP on 127\.0\.0\.1 port \([0-9]*\) .*/\1/p' "$work/server.log")
    [ -n "$port" ] && break
    if ! kill -0 "$server" 2>/dev/null; then break; fi
    sleep 0.1
done
if [ -z "$port" ]; then
    echo "$0: the web server did not start:" >&2
    cat "$work/server.log" >&2
    exit 1
fi

node "$here/page_tests.mjs" "http://127.0.0.1:$port/" "$companion" ${3+"$3"}
