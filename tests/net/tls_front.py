#!/usr/bin/env python3
"""TLS in front of the scripted radio server, for the https tests, on 127.0.0.1 only.

Usage: tls_front.py PORTFILE CERTDIR RADIOPORT
Listens on five ports, written to PORTFILE as "name port" lines, then serves until killed:
  good      the test authority's certificate for localhost and 127.0.0.1: passes every
            request on to the radio server, except /to-http/REST, which is redirected to
            http://127.0.0.1:RADIOPORT/REST, and /list.pls, a PLS answer
  selfsigned, wrongname, expired   the same with a certificate that must be refused
  plain     plain http: /REST is redirected to https://localhost:<good>/REST
"""
import os
import socket
import ssl
import sys
import threading


def pipe(source, target):
    try:
        while data := source.recv(65536):
            target.sendall(data)
    except OSError:
        pass
    if isinstance(target, ssl.SSLSocket):
        try:
            target.unwrap()  # the radio server closed: close_notify, as a polite TLS server does
        except (OSError, ValueError):
            pass
    for s in (source, target):
        try:
            s.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass


def redirect(client, location):
    client.sendall(b"HTTP/1.1 302 Found\r\nLocation: " + location.encode() + b"\r\nContent-Length: 0\r\n\r\n")
    client.close()


def serve_client(client, radio_port, to_http):
    head = b""
    while b"\r\n\r\n" not in head and len(head) < 65536:
        data = client.recv(4096)
        if not data:
            return client.close()
        head += data
    path = head.split(b" ", 2)[1].decode("latin-1")
    if to_http and path.startswith("/to-http/"):
        return redirect(client, "http://127.0.0.1:%d/%s" % (radio_port, path[len("/to-http/"):]))
    if path == "/list.pls":
        body = b"[playlist]\nFile1=https://localhost/stream\nNumberOfEntries=1\n"
        client.sendall(b"HTTP/1.1 200 OK\r\nContent-Type: audio/x-scpls\r\nContent-Length: %d\r\n\r\n" % len(body) + body)
        return client.close()
    radio = socket.create_connection(("127.0.0.1", radio_port))
    radio.sendall(head)
    threading.Thread(target=pipe, args=(radio, client), daemon=True).start()
    pipe(client, radio)


def listen(context, radio_port, to_http, good_port=None):
    server = socket.socket()
    server.bind(("127.0.0.1", 0))
    server.listen(16)

    def handle(client):
        try:
            if not context:
                path = client.recv(4096).decode("latin-1").split(" ", 2)[1]
                return redirect(client, "https://localhost:%d%s" % (good_port, path))
            serve_client(context.wrap_socket(client, server_side=True), radio_port, to_http)
        except (OSError, ssl.SSLError, IndexError):
            client.close()

    def run():
        while True:
            threading.Thread(target=handle, args=(server.accept()[0],), daemon=True).start()

    threading.Thread(target=run, daemon=True).start()
    return server.getsockname()[1]


def main():
    port_file, certs, radio_port = sys.argv[1], sys.argv[2], int(sys.argv[3])
    ports = {}
    for name in ("good", "selfsigned", "wrongname", "expired"):
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(os.path.join(certs, name + ".crt"), os.path.join(certs, "key.pem"))
        ports[name] = listen(context, radio_port, name == "good")
    ports["plain"] = listen(None, radio_port, False, ports["good"])
    with open(port_file + ".tmp", "w") as f:
        f.write("".join("%s %d\n" % item for item in ports.items()))
    os.rename(port_file + ".tmp", port_file)
    threading.Event().wait()


main()
