#!/usr/bin/env python3
"""A small HTTP server for the update tests.

usage: update_server.py ROOT [LIFETIME_SECONDS]

Serves the files under ROOT on 127.0.0.1 at a free port and prints "PORT PID" on its first line.
Every request path is appended to ROOT/requests.log. A file NAME.delay beside a served file holds
the seconds to wait before answering it; a missing file answers 404. The server ends by itself
after LIFETIME_SECONDS (default 300), so a test that dies never leaves it running.
"""
import http.server
import os
import sys
import threading
import time

root = os.path.abspath(sys.argv[1])
lifetime = float(sys.argv[2]) if len(sys.argv) > 2 else 300.0


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def do_GET(self):
        path = self.path.split("?", 1)[0]
        with open(os.path.join(root, "requests.log"), "a") as log:
            log.write(path + "\n")
        local = os.path.normpath(os.path.join(root, path.lstrip("/")))
        if not local.startswith(root + os.sep) or not os.path.isfile(local):
            body = b"not found"
            self.send_response(404)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
            return
        delay_file = local + ".delay"
        if os.path.isfile(delay_file):
            with open(delay_file) as f:
                time.sleep(float(f.read().strip() or "0"))
        with open(local, "rb") as f:
            body = f.read()
        try:
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
        except (BrokenPipeError, ConnectionResetError):
            pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
server.daemon_threads = True
print(server.server_address[1], os.getpid(), flush=True)
threading.Timer(lifetime, server.shutdown).start()
server.serve_forever()
