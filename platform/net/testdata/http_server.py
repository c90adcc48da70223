#!/usr/bin/python3
"""A real HTTP server for the HTTP client's and the update check's tests.

Usage: http_server.py ROOT

Listens on 127.0.0.1 on a free port, prints the port on the first line of
standard output and serves the files under ROOT. A few paths script what a
test needs:

  /redirect/N/REST   302 to /redirect/N-1/REST, and at N = 0 to /REST
  /to/SCHEME/PORT/REST
                     302 to SCHEME://127.0.0.1:PORT/REST
  /slow/SECONDS/REST waits, then answers as for /REST
  /status/CODE       answers CODE with a small HTML page
  /big/BYTES         200 with that many bytes
  /echo-auth         200 with the request's Authorization header as the body
  /cut/BYTES         200 promising twice that many bytes, then closes after
                     BYTES of them
  /drop              closes the connection without an answer

Anything else that is not a file under ROOT is a 404 with an HTML page.
Runs until it is killed.
"""

import http.server
import pathlib
import sys
import time


class Handler(http.server.BaseHTTPRequestHandler):
    root = pathlib.Path(".")

    def log_message(self, format, *args):
        pass

    def reply(self, code, body, content_type="text/plain", headers=()):
        self.send_response(code)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body)

    def page(self, code):
        body = f"<html><body><h1>{code}</h1>VERSION:9.9.9\nNAME:page.html\n</body></html>\n".encode()
        self.reply(code, body, "text/html")

    def serve(self, path):
        parts = [p for p in path.split("/") if p]
        if len(parts) >= 2 and parts[0] == "redirect":
            n = int(parts[1])
            rest = "/".join(parts[2:])
            target = f"/redirect/{n - 1}/{rest}" if n > 0 else f"/{rest}"
            self.reply(302, b"", headers=[("Location", target)])
            return
        if len(parts) >= 3 and parts[0] == "to":
            rest = "/".join(parts[3:])
            target = f"{parts[1]}://127.0.0.1:{int(parts[2])}/{rest}"
            self.reply(302, b"", headers=[("Location", target)])
            return
        if len(parts) >= 2 and parts[0] == "slow":
            time.sleep(float(parts[1]))
            self.serve("/" + "/".join(parts[2:]))
            return
        if len(parts) == 2 and parts[0] == "status":
            self.page(int(parts[1]))
            return
        if parts == ["echo-auth"]:
            self.reply(200, (self.headers.get("Authorization") or "").encode())
            return
        if len(parts) == 2 and parts[0] == "cut":
            n = int(parts[1])
            self.send_response(200)
            self.send_header("Content-Length", str(2 * n))
            self.end_headers()
            self.wfile.write(b"c" * n)
            self.wfile.flush()
            self.close_connection = True
            return
        if parts == ["drop"]:
            self.close_connection = True
            return
        if len(parts) == 2 and parts[0] == "big":
            self.reply(200, b"x" * int(parts[1]))
            return
        file = (self.root / "/".join(parts)).resolve()
        if self.root in file.parents and file.is_file():
            self.reply(200, file.read_bytes())
        else:
            self.page(404)

    def do_GET(self):
        try:
            self.serve(self.path.split("?", 1)[0])
        except (BrokenPipeError, ConnectionResetError):
            pass


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    Handler.root = pathlib.Path(sys.argv[1]).resolve()
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
