#!/usr/bin/env python3
"""Serves the web page's files from a folder on 127.0.0.1 for a browser, until Ctrl-C.

    web-serve.py FOLDER [PORT]

Takes PORT (default 8000) or, when that is taken, the next free one, and prints the page's URL
as its first line. PORT 0 lets the system choose (the tests' way).

Only the site is served, though the folder may be a whole build tree: regular files of the
kinds a page is made of, at the top of FOLDER, whose real path (after every symbolic link)
stays inside FOLDER; no listings, no hidden files, nothing from sub-folders. Requests must name this
machine (Host 127.0.0.1 or localhost), so a page elsewhere cannot reach the folder through a
name of its own that resolves here (DNS rebinding).
"""
import functools
import http.server
import os
import sys
import urllib.parse

# What a page is made of; anything else in a build tree (CMakeCache.txt, object files, sources)
# is not the site's.
SITE_TYPES = {
    ".html": "text/html; charset=utf-8", ".js": "text/javascript", ".wasm": "application/wasm",
    ".data": "application/octet-stream", ".json": "application/json", ".webmanifest": "application/manifest+json",
    ".png": "image/png", ".ico": "image/x-icon", ".svg": "image/svg+xml", ".css": "text/css",
    ".mp3": "audio/mpeg", ".opus": "audio/ogg", ".ogg": "audio/ogg",
}
LOCAL_HOSTS = {"127.0.0.1", "localhost"}


def site_file(folder, url_path):
    """The real path of the site's file that url_path names, or None when it names none."""
    relative = urllib.parse.unquote(urllib.parse.urlsplit(url_path).path).lstrip("/") or "index.html"
    if "/" in relative or relative.startswith("."):
        return None
    if os.path.splitext(relative)[1].lower() not in SITE_TYPES:
        return None
    root = os.path.realpath(folder)
    real = os.path.realpath(os.path.join(root, relative))
    if os.path.commonpath([root, real]) != root or not os.path.isfile(real):
        return None
    return real


def host_is_local(host_header):
    if not host_header:
        return False
    host = host_header.rsplit(":", 1)[0] if not host_header.startswith("[") else host_header
    return host.lower() in LOCAL_HOSTS


class Handler(http.server.SimpleHTTPRequestHandler):
    # The browser compiles WebAssembly while it downloads only when the type says what it is.
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, **SITE_TYPES}

    def send_head(self):
        if not host_is_local(self.headers.get("Host")):
            self.send_error(421, "This server answers only 127.0.0.1 and localhost")
            return None
        if site_file(self.directory, self.path) is None:
            self.send_error(404, "Not one of the site's files")
            return None
        return super().send_head()

    def translate_path(self, path):
        real = site_file(self.directory, path)
        return real if real else os.path.join(self.directory, "\0")  # never a real file

    def log_message(self, format, *args):
        pass  # a page load is dozens of requests; only failures matter, and the browser shows those


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__.strip())
    folder = sys.argv[1]
    first = int(sys.argv[2]) if len(sys.argv) == 3 else 8000
    handler = functools.partial(Handler, directory=folder)
    for port in ([0] if first == 0 else range(first, first + 100)):
        try:
            server = http.server.ThreadingHTTPServer(("127.0.0.1", port), handler)
            break
        except OSError:
            continue
    else:
        sys.exit(f"web-serve: no free port from {first} to {first + 99}")
    print(f"http://127.0.0.1:{server.server_address[1]}/", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
