#!/usr/bin/env python3
"""The lab's HTTPS host: serves the files under --root.

A test steers individual paths through ROOT/.behaviour.json, re-read on every request:
  {"/Config/default.txt": {"status": 404},
   "/slow": {"hang": true},                 # accept the request, never answer
   "/big": {"repeat": 1048576},             # the file's bytes repeated N times
   "/delayed": {"delay": 2.5}}              # answer after N seconds
Every request is appended to ROOT/../https-requests.log as one JSON line
(method, path, headers, body), so tests can check what the client sent.
"""
import argparse
import http.server
import json
import os
import ssl
import threading
import time


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, fmt, *args):
        pass

    def _record(self, body):
        entry = {"method": self.command, "path": self.path,
                 "headers": dict(self.headers.items()),
                 "body": body.decode("utf-8", "replace")}
        with self.server.log_lock, open(self.server.request_log, "a") as log:
            log.write(json.dumps(entry) + "\n")

    def _behaviour(self, path):
        try:
            with open(os.path.join(self.server.root, ".behaviour.json")) as f:
                return json.load(f).get(path, {})
        except (OSError, ValueError):
            return {}

    def _answer(self):
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(length) if length else b""
        self._record(body)
        path = self.path.split("?", 1)[0]
        behaviour = self._behaviour(path)
        if behaviour.get("hang"):
            time.sleep(3600)
            return
        time.sleep(float(behaviour.get("delay", 0)))
        status = int(behaviour.get("status", 200))
        data = b""
        file = os.path.realpath(os.path.join(self.server.root, path.lstrip("/")))
        inside = file.startswith(os.path.realpath(self.server.root) + os.sep)
        if status == 200:
            if inside and os.path.isfile(file):
                with open(file, "rb") as f:
                    data = f.read() * int(behaviour.get("repeat", 1))
            else:
                status = 404
        self.send_response(status)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(data)

    do_GET = _answer
    do_POST = _answer
    do_HEAD = _answer


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--cert", required=True)
    parser.add_argument("--key", required=True)
    parser.add_argument("--address", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=443)
    parser.add_argument("--pid-file")
    args = parser.parse_args()

    server = http.server.ThreadingHTTPServer((args.address, args.port), Handler)
    server.daemon_threads = True
    server.root = args.root
    server.request_log = os.path.join(os.path.dirname(os.path.abspath(args.root)), "https-requests.log")
    server.log_lock = threading.Lock()
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(args.cert, args.key)
    server.socket = context.wrap_socket(server.socket, server_side=True)
    if args.pid_file:
        with open(args.pid_file, "w") as f:
            f.write(str(os.getpid()))
    server.serve_forever()


if __name__ == "__main__":
    main()
