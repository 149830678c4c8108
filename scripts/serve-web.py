#!/usr/bin/env python3
"""Serves the browser version's site on 127.0.0.1 with the two headers that
give the page shared memory (Cross-Origin-Opener-Policy, Cross-Origin-Embedder-
Policy), compressed with gzip for browsers that accept it, as a web host would.

    python3 scripts/serve-web.py build-web/site [PORT]   (8080; 0 picks a free one)

--no-isolation leaves the two headers out (to see what a plain host gives).
The first line on standard output names the address."""
import argparse
import functools
import gzip
import http.server
import os
import sys

COMPRESSED_TYPES = {".html", ".js", ".css", ".wasm", ".data"}


class SiteHandler(http.server.SimpleHTTPRequestHandler):
    isolation = True
    cache = {}  # path -> (modified, gzip bytes)

    extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map,
                          **{".wasm": "application/wasm", ".js": "text/javascript",
                             ".data": "application/octet-stream"})

    def end_headers(self):
        if self.isolation:
            self.send_header("Cross-Origin-Opener-Policy", "same-origin")
            self.send_header("Cross-Origin-Embedder-Policy", "require-corp")
        self.send_header("Cross-Origin-Resource-Policy", "same-origin")
        self.send_header("Cache-Control", "no-cache")
        super().end_headers()

    def do_GET(self):
        path = self.translate_path(self.path)
        if os.path.isdir(path):
            path = os.path.join(path, "index.html")
        accepts_gzip = "gzip" in self.headers.get("Accept-Encoding", "")
        if not accepts_gzip or os.path.splitext(path)[1] not in COMPRESSED_TYPES \
                or not os.path.isfile(path):
            return super().do_GET()
        modified = os.path.getmtime(path)
        cached = self.cache.get(path)
        if cached is None or cached[0] != modified:
            with open(path, "rb") as source:
                cached = (modified, gzip.compress(source.read(), 6))
            self.cache[path] = cached
        body = cached[1]
        self.send_response(200)
        self.send_header("Content-Type", self.guess_type(path))
        self.send_header("Content-Encoding", "gzip")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, format, *args):
        pass


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("site")
    parser.add_argument("port", nargs="?", type=int, default=8080)
    parser.add_argument("--no-isolation", action="store_true")
    arguments = parser.parse_args()
    if not os.path.isfile(os.path.join(arguments.site, "index.html")):
        sys.exit(f"serve-web: no site in {arguments.site} (make web builds it)")
    SiteHandler.isolation = not arguments.no_isolation
    handler = functools.partial(SiteHandler, directory=arguments.site)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", arguments.port), handler)
    print(f"Velmorat: http://127.0.0.1:{server.server_address[1]}/", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
