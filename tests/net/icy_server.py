#!/usr/bin/env python3
"""A scripted internet radio server for the tests, on 127.0.0.1 only.

Writes its port to the file named by its first argument, then serves until killed. The
request path picks the behaviour; the query tunes it:
  /stream   audio: a 440 Hz tone as an endless 16-bit mono 8 kHz WAV (16000 bytes/s)
            style=icy|http  status line "ICY 200 OK" or "HTTP/1.0 200 OK" (default icy)
            metaint=N       interval of in-band titles (default 4000; only when asked for)
            metaint_header=TEXT  sent as icy-metaint without metadata (0, absurd values)
            title=TEXT      the first title (default "First Artist - First Song")
            every=MS        then a new title every MS ms: "Clock - <send time in epoch ms>"
            chunked=1       HTTP/1.1 with chunked transfer encoding
            die=BYTES       close the connection after this many audio bytes
            stall=BYTES     stop sending after this many audio bytes, keep the connection
            trickle=1       after a short burst, one byte per second
            pause=BYTES&pause_ms=MS  after this many audio bytes, nothing for MS ms, then on
            badmeta=1       metadata blocks whose length byte points past what is sent
            garbage=1       random bytes instead of audio
            burst=BYTES     sent at once before real-time pacing (default 32000)
            format=mp3      the 128 kbit/s MP3 tone.mp3 of the folder given as second argument,
                            looped, instead of the WAV (the same 16000 bytes/s)
  /ogg      chained Ogg Vorbis: the files a.ogg and b.ogg (2 s each) of the folder given as
            second argument, in turn, each a link with its own title comments
  /redirect?hops=N&then=QUERY  N redirects, then /stream?QUERY
  /loop                 redirects to itself for ever
  /old                  answers 505 to anything but HTTP/1.0 requests, else like /stream
  /silent               accepts and never answers
  /hugehead             an endless head
  /slowhead             the head at one byte per second
  /missing              404
"""
import math
import os
import socket
import socketserver
import struct
import sys
import time
import urllib.parse

RATE = 8000
BYTES_PER_SECOND = RATE * 2


def wav_header():
    data_size = 0x7FFFFFF0
    return (b"RIFF" + struct.pack("<I", data_size + 36) + b"WAVEfmt " +
            struct.pack("<IHHIIHH", 16, 1, 1, RATE, BYTES_PER_SECOND, 2, 16) +
            b"data" + struct.pack("<I", data_size))


def tone(seconds=1):
    return b"".join(struct.pack("<h", int(12000 * math.sin(2 * math.pi * 440 * i / RATE)))
                    for i in range(RATE * seconds))


TONE = tone()


class Audio:
    """Endless audio bytes: the WAV header once, then the tone (or garbage, or a looped file)."""

    def __init__(self, garbage, looped=None):
        self.pending = os.urandom(4096) if garbage else (looped or wav_header())
        self.garbage = garbage
        self.looped = looped
        self.at = 0

    def take(self, n):
        out = bytearray()
        while len(out) < n:
            if not self.pending:
                if self.garbage:
                    self.pending = os.urandom(4096)
                elif self.looped:
                    self.pending = self.looped
                else:
                    self.pending = TONE[self.at:] + TONE[:self.at]
                    self.at = 0
            step = self.pending[:n - len(out)]
            self.pending = self.pending[len(step):]
            out += step
        return bytes(out)


def metadata_block(title):
    text = ("StreamTitle='%s';" % title).encode("utf-8")
    blocks = (len(text) + 15) // 16
    return bytes([blocks]) + text.ljust(blocks * 16, b"\0")


class Handler(socketserver.BaseRequestHandler):
    def read_request(self):
        data = b""
        self.request.settimeout(10)
        while b"\r\n\r\n" not in data and len(data) < 65536:
            chunk = self.request.recv(4096)
            if not chunk:
                break
            data += chunk
        lines = data.decode("latin-1").split("\r\n")
        words = lines[0].split(" ")
        target = words[1] if len(words) > 1 else "/"
        self.version = words[2] if len(words) > 2 else ""
        headers = {}
        for line in lines[1:]:
            if ":" in line:
                k, v = line.split(":", 1)
                headers[k.strip().lower()] = v.strip()
        return target, headers

    def handle(self):
        try:
            target, headers = self.read_request()
            url = urllib.parse.urlsplit(target)
            query = dict(urllib.parse.parse_qsl(url.query, encoding="latin-1"))
            route = getattr(self, "route_" + url.path.strip("/"), None)
            if route is None:
                self.request.sendall(b"HTTP/1.0 404 Not Found\r\n\r\n")
                return
            route(query, headers)
        except (OSError, ValueError):
            pass

    def route_ogg(self, query, headers):
        folder = sys.argv[2]
        links = [open(os.path.join(folder, name), "rb").read() for name in ("a.ogg", "b.ogg")]
        self.request.sendall(b"HTTP/1.0 200 OK\r\nContent-Type: application/ogg\r\nicy-name: Ogg Radio\r\n\r\n")
        start = time.time()
        sent = 0
        for n in range(1000):
            link = links[n % 2]
            # Two seconds of audio per link: its bytes are due over two seconds, the first link at once.
            for at in range(0, len(link), 1024):
                due_time = start + 2.0 * (n - 1) + 2.0 * at / len(link)
                delay = due_time - time.time()
                if delay > 0:
                    time.sleep(delay)
                self.request.sendall(link[at:at + 1024])
                sent += 1024

    def route_old(self, query, headers):
        if self.version != "HTTP/1.0":
            self.request.sendall(b"HTTP/1.1 505 HTTP Version Not Supported\r\nContent-Length: 0\r\n\r\n")
            return
        self.route_stream(dict(query, name="Old Server"), headers)

    def route_missing(self, query, headers):
        self.request.sendall(b"HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n")

    def route_redirect(self, query, headers):
        hops = int(query.get("hops", "1"))
        then = query.get("then", "")
        nxt = ("/redirect?" + urllib.parse.urlencode({"hops": hops - 1, "then": then})
               if hops > 1 else "/stream?" + then)
        self.request.sendall(("HTTP/1.1 302 Found\r\nLocation: %s\r\nContent-Length: 0\r\n\r\n" % nxt).encode())

    def route_loop(self, query, headers):
        self.request.sendall(b"HTTP/1.1 301 Moved\r\nLocation: /loop\r\n\r\n")

    def route_silent(self, query, headers):
        time.sleep(60)

    def route_hugehead(self, query, headers):
        self.request.sendall(b"ICY 200 OK\r\n")
        while True:
            self.request.sendall(b"icy-notice: " + b"x" * 1000 + b"\r\n")

    def route_slowhead(self, query, headers):
        for byte in b"ICY 200 OK\r\nicy-name: Slow\r\n\r\n":
            self.request.sendall(bytes([byte]))
            time.sleep(1)

    def route_stream(self, query, headers):
        style = query.get("style", "icy")
        chunked = query.get("chunked") == "1"
        want_meta = headers.get("icy-metadata") == "1"
        metaint = int(query.get("metaint", "4000")) if want_meta else 0
        status = "ICY 200 OK" if style == "icy" else ("HTTP/1.1 200 OK" if chunked else "HTTP/1.0 200 OK")
        head = [status, "icy-name: " + query.get("name", "Test Radio"), "icy-br: 128",
                "icy-genre: Tests", "icy-url: http://127.0.0.1/", "icy-pub: 0",
                "icy-description: A scripted server",
                "Content-Type: " + ("audio/mpeg" if query.get("format") == "mp3" else "audio/wav"), "Server: test"]
        if "metaint_header" in query:
            head.append("icy-metaint: " + query["metaint_header"])
            metaint = 0
        elif metaint:
            head.append("icy-metaint: %d" % metaint)
        if chunked:
            head.append("Transfer-Encoding: chunked")
        self.request.sendall(("\r\n".join(head) + "\r\n\r\n").encode("utf-8"))
        self.stream(query, metaint, chunked)

    def stream(self, query, metaint, chunked):
        looped = None
        if query.get("format") == "mp3":
            with open(os.path.join(sys.argv[2], "tone.mp3"), "rb") as f:
                looped = f.read()
        audio = Audio(query.get("garbage") == "1", looped)
        title = query.get("title", "First Artist - First Song")
        every = int(query.get("every", "0")) / 1000.0
        die = int(query.get("die", "-1"))
        stall = int(query.get("stall", "-1"))
        trickle = query.get("trickle") == "1"
        badmeta = query.get("badmeta") == "1"
        burst = int(query.get("burst", "32000"))
        pause = int(query.get("pause", "-1"))
        pause_ms = int(query.get("pause_ms", "0"))
        sent_audio = 0
        sent_title = None
        start = time.time()
        last_change = start
        until_meta = metaint

        def send(data):
            if chunked:
                data = b"%x\r\n" % len(data) + data + b"\r\n"
            self.request.sendall(data)

        while True:
            if every and time.time() - last_change >= every:
                last_change = time.time()
                title = "Clock - %d" % int(last_change * 1000)
            if die >= 0 and sent_audio >= die:
                return
            if stall >= 0 and sent_audio >= stall:
                time.sleep(60)
                return
            if pause >= 0 and sent_audio >= pause:
                time.sleep(pause_ms / 1000.0)
                start += pause_ms / 1000.0  # the pacing carries on from where it stopped
                pause = -1
            if trickle and sent_audio >= 2000:
                step = 1
            else:
                due = burst + (time.time() - start) * BYTES_PER_SECOND - sent_audio
                step = int(min(max(due, 0), 2000))
            if die >= 0:
                step = min(step, die - sent_audio)
            if stall >= 0:
                step = min(step, stall - sent_audio)
            if pause >= 0:
                step = min(step, pause - sent_audio)
            if metaint:
                step = min(step, until_meta)
            if step > 0:
                send(audio.take(step))
                sent_audio += step
                if metaint:
                    until_meta -= step
            if metaint and until_meta == 0:
                until_meta = metaint
                if badmeta:
                    send(b"\xff" + b"StreamTitle='cut")
                elif title != sent_title:
                    send(metadata_block(title))
                    sent_title = title
                else:
                    send(b"\0")
                continue
            time.sleep(1.0 if trickle and sent_audio >= 2000 else 0.02)


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    server = Server(("127.0.0.1", 0), Handler)
    with open(sys.argv[1] + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    os.rename(sys.argv[1] + ".tmp", sys.argv[1])
    server.serve_forever()


if __name__ == "__main__":
    main()
