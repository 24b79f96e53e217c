#!/usr/bin/env python3
"""Demo redirect server for ./run.sh.

Answers the launcher's unchanged built-in URLs, which reach it through the Wine
prefix's WinINet proxy setting (requests arrive as "GET http://host:80/path").
Every ".../download_silent_<product>/..." path gets the demo setup program,
sent at a modest rate so that the tile's progress bar can be watched; any other
path gets a small HTML page. Ranges are honoured ("Range: bytes=N-" with an
If-Range that is absent or equals the setup's ETag gets 206), so that a
download cut off resumes where it stopped.

Faults for the next downloads, asked for on the server's own address (not
through the proxy): "/demo/faults?add=drop-half" sends half of the setup and
then closes the connection; "/demo/faults?add=busy" answers 503 with
"Retry-After: 1". Each fault is used once, in order. "/demo/requests" lists
the download requests so far, one per line: the status sent and the Range
asked for.

    demo_server.py SETUP_EXE [--port N] [--rate BYTES_PER_S]
"""
import argparse
import http.server
import socketserver
import sys
import threading
import time
import zlib


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("setup")
    ap.add_argument("--port", type=int, default=0)
    ap.add_argument("--rate", type=int, default=150_000)
    ap.add_argument("--port-file")
    args = ap.parse_args()
    body = open(args.setup, "rb").read()
    etag = '"%08x"' % zlib.crc32(body)
    lock = threading.Lock()
    faults = []     # faults for the next downloads, in order
    requests = []   # "<status> <range>" per download request

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, fmt, *a):
            sys.stderr.write("demo server: " + (fmt % a) + "\n")

        def send_plain(self, status, text, headers=()):
            data = text.encode()
            self.send_response(status)
            for name, value in headers:
                self.send_header(name, value)
            self.send_header("Content-Type", "text/plain")
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            self.wfile.write(data)

        def do_GET(self):
            if self.path.startswith("/demo/faults?add="):
                with lock:
                    faults.append(self.path.split("=", 1)[1])
                return self.send_plain(200, "ok\n")
            if self.path == "/demo/requests":
                with lock:
                    return self.send_plain(200, "".join(line + "\n" for line in requests))
            if "/download_silent_" in self.path:
                with lock:
                    fault = faults.pop(0) if faults else None
                asked = self.headers.get("Range", "")
                start = 0
                if asked.startswith("bytes=") and self.headers.get("If-Range", etag) == etag:
                    try:
                        start = int(asked[6:].split("-")[0])
                    except ValueError:
                        start = 0
                    if start >= len(body):
                        start = 0
                status = 503 if fault == "busy" else 206 if start else 200
                with lock:
                    requests.append("%d %s" % (status, asked))
                if fault == "busy":
                    return self.send_plain(503, "busy\n", [("Retry-After", "1")])
                self.send_response(status)
                self.send_header("Content-Type", "application/octet-stream")
                self.send_header("ETag", etag)
                self.send_header("Content-Length", str(len(body) - start))
                if start:
                    self.send_header("Content-Range", "bytes %d-%d/%d" % (start, len(body) - 1, len(body)))
                self.end_headers()
                end = start + (len(body) - start) // 2 if fault == "drop-half" else len(body)
                step = max(1, args.rate // 20)
                for i in range(start, end, step):
                    self.wfile.write(body[i:min(i + step, end)])
                    self.wfile.flush()
                    time.sleep(0.05)
                if fault == "drop-half":
                    self.close_connection = True
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
