#!/usr/bin/env python3
"""Answers an OpenVPN engine's management interface as quickly as possible:
releases the hold, accepts every remote, gives the credentials when asked.
Used by connect-bench to time the bare engine with the same management
queries the client answers. Usage: management-answerer.py PORT USER PASSWORD
"""
import socket
import sys
import time


def connect(port):
    for _ in range(500):
        try:
            return socket.create_connection(("127.0.0.1", port))
        except OSError:
            time.sleep(0.01)
    sys.exit("management-answerer: no management interface on port %d" % port)


def main():
    port, user, password = int(sys.argv[1]), sys.argv[2], sys.argv[3]
    stream = connect(port).makefile("rwb", buffering=0)

    def send(command):
        stream.write((command + "\n").encode())

    for raw in stream:
        line = raw.decode(errors="replace").strip()
        if line.startswith(">HOLD:"):
            send("hold release")
        elif line.startswith(">REMOTE:"):
            send("remote ACCEPT")
        elif line.startswith(">PASSWORD:Need 'Auth'"):
            send('username "Auth" "%s"' % user)
            send('password "Auth" "%s"' % password)


if __name__ == "__main__":
    main()
