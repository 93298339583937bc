#!/usr/bin/env python3
# fake-app.py SOCKET silent|answer: listens where the tray app would. silent
# takes connections and never answers; answer takes every command and says
# it printed "from the socket".
import socket, sys
server = socket.socket(socket.AF_UNIX)
server.bind(sys.argv[1])
server.listen()
held = []
while True:
    client, _ = server.accept()
    held.append(client)
    if sys.argv[2] == "answer":
        try:  # a client that refused this listener has hung up already
            client.recv(8192)
            client.sendall(b'ok\n{"status":0,"stdout":"from the socket\\n","stderr":""}\n')
        except OSError:
            pass
