#!/usr/bin/env python3
"""Answers an OpenVPN engine's management interface as quickly as possible:
releases the hold, accepts every remote, gives the credentials when asked.
Used by connect-bench to time the bare engine with the same management
queries the client answers. Prints "listening" once the engine may start (it
connects as a management client), then "MICROSECONDS STAGE" lines (wall
clock) as the engine reaches its stages: hold, remote, up. With SECRET it
first asks for the echo history, as the client does, and answers nothing
before the engine has listed SECRET there.
Usage: management-answerer.py PORT USER PASSWORD [SECRET]
"""
import socket
import sys
import time


def accept(port):
    """Listens first, as the client does, and takes the engine's connection
    (the engine runs with --management-client): no polling for a port."""
    server = socket.create_server(("127.0.0.1", port))
    print("listening", flush=True)
    stream, _ = server.accept()
    server.close()
    # Each answer at once, as the client sends them.
    stream.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    return stream


def stage(name):
    print("%d %s" % (time.time_ns() // 1000, name), flush=True)


def main():
    port, user, password = int(sys.argv[1]), sys.argv[2], sys.argv[3]
    secret = sys.argv[4] if len(sys.argv) > 4 else None
    stream = accept(port)

    def send(command):
        stream.sendall((command + "\n").encode())

    held = []
    if secret:
        send("echo on all")
    seen = set()
    for line in lines(stream):
        if secret:
            if line.endswith("," + secret):
                secret = None
                for earlier in held:
                    answer(earlier, seen, send, user, password)
            else:
                held.append(line)
            continue
        answer(line, seen, send, user, password)


def lines(stream):
    """The engine's lines, each read acknowledged at once, as the client
    does (a delayed acknowledgement would hold the engine's next line)."""
    pending = b""
    while True:
        data = stream.recv(65536)
        if not data:
            return
        stream.setsockopt(socket.IPPROTO_TCP, socket.TCP_QUICKACK, 1)
        *complete, pending = (pending + data).split(b"\n")
        for raw in complete:
            yield raw.decode(errors="replace").strip()


def answer(line, seen, send, user, password):
    """Notes the line's stage and answers it as the client would."""
    for prefix, name in ((">HOLD:", "hold"), (">REMOTE:", "remote"), (">UPDOWN:UP", "up")):
        if line.startswith(prefix) and name not in seen:
            seen.add(name)
            stage(name)
    if line.startswith(">HOLD:"):
        send("hold release")
    elif line.startswith(">REMOTE:"):
        send("remote ACCEPT")
    elif line.startswith(">PASSWORD:Need 'Auth'"):
        send('username "Auth" "%s"' % user)
        send('password "Auth" "%s"' % password)


if __name__ == "__main__":
    main()
