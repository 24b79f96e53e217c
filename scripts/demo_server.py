#!/usr/bin/env python3
"""Demo redirect server for ./run.sh.

Answers the launcher's unchanged built-in URLs, which reach it through the Wine
prefix's WinINet proxy setting (requests arrive as "GET http://host:80/path").
Every ".../download_silent_<product>/..." path gets the demo setup program,
sent at a modest rate so that the tile's progress bar can be watched; any other
path gets a small HTML page.

    demo_server.py SETUP_EXE [--port N] [--rate BYTES_PER_S]
"""
import argparse
import http.server
import socketserver
import sys
import time


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("setup")
    ap.add_argument("--port", type=int, default=0)
    ap.add_argument("--rate", type=int, default=150_000)
    ap.add_argument("--port-file")
    args = ap.parse_args()
    body = open(args.setup, "rb").read()

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, fmt, *a):
            sys.stderr.write("demo server: " + (fmt % a) + "\n")

        def do_GET(self):
            if "/download_silent_" in self.path:
                self.send_response(200)
                self.send_header("Content-Type", "application/octet-stream")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                step = max(1, args.rate // 20)
                for i in range(0, len(body), step):
                    self.wfile.write(body[i:i + step])
                    self.wfile.flush()
                    time.sleep(0.05)
                return
            page = b"<html><body><h1>Vozeror demo</h1><p>This page stands in for the vendor's web page.</p></body></html>"
            self.send_response(200)
            self.send_header("Content-Type", "text/html")
            self.send_header("Content-Length", str(len(page)))
            self.end_headers()
            self.wfile.write(page)

    class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
        daemon_threads = True
        allow_reuse_address = True

    srv = Server(("127.0.0.1", args.port), Handler)
    port = srv.server_address[1]
    if args.port_file:
        with open(args.port_file, "w") as f:
            f.write(str(port))
    sys.stderr.write(f"demo server: listening on 127.0.0.1:{port}\n")
    srv.serve_forever()


if __name__ == "__main__":
    main()
