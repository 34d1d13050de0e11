#!/usr/bin/python3
"""What the page costs a visitor: the bytes a server sends for it, compressed,
and the time from navigation to the form being ready, against a bare page
whose module is empty but built with the page's own flags. Prints figures;
it is no test.

Usage: page_load.py [BUILD_DIR] [LOADS]   (build-web and 15 by default)

The page marks the moment its form is ready with performance.mark(
"varidac-ready"); the bare page marks the moment its module's runtime is
ready. Both are served from 127.0.0.1 and loaded in Debian's headless
Chromium with its cache off, as on a first visit; the loads of the two
alternate, and each figure is the median.
"""
import functools
import gzip
import http.server
import os
import shlex
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

# The goals: what a visitor's first load may cost.
GOAL_BYTES = 300 * 1024
GOAL_RATIO = 1.5

CHROMIUM_FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                  "--disable-background-networking", "--disable-component-update", "--disable-sync",
                  "--window-size=1280,900"]

BARE_PAGE = """<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8"><title>Bare module</title><link rel="icon" href="data:,"></head>
<body><p>Bare module</p>
<script>var Module = {onRuntimeInitialized: function() { performance.mark('varidac-ready'); }};</script>
<script src="bare.js"></script>
</body></html>
"""


def page_link(build):
    """The compile and link flags of the page's module, as the build uses them."""
    with open(os.path.join(build, "build.ninja")) as f:
        lines = f.read().split("\n")
    for i, line in enumerate(lines):
        if line.startswith("build ui/web/varidac.js: CXX_EXECUTABLE_LINKER__varidac_page_"):
            flags = {}
            for setting in lines[i + 1:]:
                if not setting.startswith("  "):
                    break
                name, _, value = setting.strip().partition(" = ")
                flags[name] = shlex.split(value)
            return flags.get("FLAGS", []), flags.get("LINK_FLAGS", [])
    sys.exit("page_load.py: no page module in %s/build.ninja: build it with scripts/web" % build)


def build_bare_page(build, folder):
    """An empty module with the page's flags, less the page's own script
    and its own functions' list, and with the file system that the page's
    program brings."""
    compile_flags, link_flags = page_link(build)
    kept = ["-sFORCE_FILESYSTEM=1"]
    skip = False
    for flag in link_flags:
        if skip:
            skip = False
        elif flag in ("--post-js", "--pre-js", "--extern-pre-js", "--extern-post-js", "--js-library"):
            skip = True
        elif flag == "--profiling-funcs" or flag.startswith("-sASYNCIFY_REMOVE="):
            # The page's module keeps its names only until the build has
            # checked its list of functions that cannot wait, a list of the
            # page's own functions.
            continue
        else:
            kept.append(flag)
    source = os.path.join(folder, "bare.cpp")
    with open(source, "w") as f:
        f.write("int main() { return 0; }\n")
    env = dict(os.environ, NODE_PATH="/usr/share/nodejs")
    made = subprocess.run(["em++"] + compile_flags + ["-fexceptions", source, "-o", os.path.join(folder, "bare.js")]
                          + kept, env=env, capture_output=True, text=True)
    if made.returncode != 0:
        sys.exit("page_load.py: the bare module did not build:\n" + made.stderr)
    with open(os.path.join(folder, "index.html"), "w") as f:
        f.write(BARE_PAGE)


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map, **{".wasm": "application/wasm"})

    def log_message(self, *args):
        pass


def serve(folder):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(QuietHandler, directory=folder))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, "http://127.0.0.1:%d/" % server.server_address[1]


def ready_time(driver, url):
    """Milliseconds from navigation to the ready mark, and what was fetched."""
    driver.get("about:blank")
    driver.get(url)
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline:
        mark = driver.execute_script(
            "const m = performance.getEntriesByName('varidac-ready'); return m.length ? m[0].startTime : null;")
        if mark is not None:
            fetched = driver.execute_script(
                "return performance.getEntriesByType('resource').map(e => new URL(e.name).pathname);")
            return mark, fetched
        time.sleep(0.01)
    sys.exit("page_load.py: %s was not ready within 60 s" % url)


def compressed_sizes(path):
    with open(path, "rb") as f:
        raw = f.read()
    gz = len(gzip.compress(raw, compresslevel=9))
    br = None
    if shutil.which("brotli"):
        br = len(subprocess.run(["brotli", "-c", "-q", "11", path], check=True, capture_output=True).stdout)
    return len(raw), gz, br


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build-web")
    loads = int(sys.argv[2]) if len(sys.argv) > 2 else 15
    site = os.path.join(build, "site")
    if not os.path.isfile(os.path.join(site, "index.html")):
        sys.exit("page_load.py: no page in %s: build it with scripts/web" % site)
    with tempfile.TemporaryDirectory() as tmp:
        bare = os.path.join(tmp, "bare")
        os.mkdir(bare)
        build_bare_page(build, bare)
        page_server, page_url = serve(site)
        bare_server, bare_url = serve(bare)
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for flag in CHROMIUM_FLAGS + ["--user-data-dir=" + os.path.join(tmp, "profile")]:
            options.add_argument(flag)
        driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        try:
            driver.execute_cdp_cmd("Network.enable", {})
            driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": True})
            # One load of each first: the browser's own start is not the page's.
            _, fetched = ready_time(driver, page_url)
            ready_time(driver, bare_url)
            page_times, bare_times = [], []
            for _ in range(loads):
                page_times.append(ready_time(driver, page_url)[0])
                bare_times.append(ready_time(driver, bare_url)[0])
        finally:
            driver.quit()
            page_server.shutdown()
            bare_server.shutdown()

    print("Transfer: what a server sends for the page, in bytes (gzip -9; brotli -q 11%s)"
          % ("" if shutil.which("brotli") else ": brotli is not installed"))
    print("  %-22s %9s %9s %9s" % ("file", "raw", "gzip", "brotli"))
    names = ["index.html"] + [path.lstrip("/") for path in fetched]
    totals = {"page": [0, 0, 0], "fetched later": [0, 0, 0]}
    for name in names:
        raw, gz, br = compressed_sizes(os.path.join(site, name))
        # The guide and the like: fetched while the module loads, not part
        # of the page's script and module.
        kind = "page" if name == "index.html" or name.endswith((".js", ".wasm")) else "fetched later"
        for i, size in enumerate((raw, gz, br or 0)):
            totals[kind][i] += size
        print("  %-22s %9d %9d %9s" % (name, raw, gz, br if br is not None else "-"))
    page = totals["page"]
    best = min(size for size in page[1:] if size) if any(page[1:]) else page[0]
    print("  %-22s %9d %9d %9s   goal: at most %d (%s)" % ("page, script, module", page[0], page[1],
          page[2] or "-", GOAL_BYTES, "met" if best <= GOAL_BYTES else "NOT met"))
    if totals["fetched later"][0]:
        later = totals["fetched later"]
        print("  %-22s %9d %9d %9s   (also fetched before the form is ready)" % ("other files", later[0], later[1],
              later[2] or "-"))
    page_ms, bare_ms = statistics.median(page_times), statistics.median(bare_times)
    ratio = page_ms / bare_ms
    print("Navigation to ready, median of %d loads, cache off (ms): page %.1f (%.1f to %.1f), bare module page "
          "%.1f (%.1f to %.1f)" % (loads, page_ms, min(page_times), max(page_times), bare_ms, min(bare_times),
                                    max(bare_times)))
    print("  ratio %.2f   goal: at most %.1f (%s)" % (ratio, GOAL_RATIO, "met" if ratio <= GOAL_RATIO else "NOT met"))


if __name__ == "__main__":
    main()
