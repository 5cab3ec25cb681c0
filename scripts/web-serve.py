#!/usr/bin/env python3
"""Serves a folder on 127.0.0.1 for a browser, until Ctrl-C.

    web-serve.py FOLDER [PORT]

Takes PORT (default 8000) or, when that is taken, the next free one, and prints the page's URL
as its first line. PORT 0 lets the system choose (the tests' way).
"""
import functools
import http.server
import sys


class Handler(http.server.SimpleHTTPRequestHandler):
    # The browser compiles WebAssembly while it downloads only when the type says what it is.
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, ".wasm": "application/wasm",
                      ".js": "text/javascript", ".data": "application/octet-stream"}

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
