#!/usr/bin/env python3
"""A scripted internet radio server for the tests, on 127.0.0.1 only.

Writes its port to the file named by its first argument, then serves until killed. The
request path picks the behaviour; the query tunes it:
  /stream   audio: a 440 Hz tone as an endless 16-bit mono 8 kHz WAV (16000 bytes/s)
            style=icy|http  status line "ICY 200 OK" or "HTTP/1.x 200 OK" (default icy)
            name=TEXT       icy-name (default "Test Radio")
            metaint=N       interval of in-band titles (default 4000; only when asked for)
            metaint_header=TEXT  sent as icy-metaint without metadata (0, absurd values)
            title=TEXT      the first title (default "First Artist - First Song")
            every=MS        then a new title every MS ms: "Clock - <send time in epoch ms>"
            chunked=1       HTTP/1.1 with chunked transfer encoding
            die=BYTES       close the connection after this many audio bytes
            stall=BYTES     stop sending after this many audio bytes, keep the connection
            trickle=1       after a short burst, one byte per second
            pause=BYTES&pause_ms=MS  after this many audio bytes, nothing for MS ms, then on
            garbage=1       random bytes instead of audio
            burst=BYTES     sent at once before real-time pacing (default 32000)
            format=mp3      tone.mp3 of the folder given as second argument, looped
  /ogg      chained Ogg Vorbis: a.ogg and b.ogg (2 s each) of that folder in turn
  /redirect?hops=N&then=QUERY  N redirects, then /stream?QUERY
  /loop     redirects to itself for ever
  /old      answers 505 to anything but HTTP/1.0 requests, else like /stream
  /silent   accepts and never answers
  /hugehead an endless head
  /slowhead the head at one byte per second
  anything else: 404
"""
import http.server
import math, os, struct, sys, time, urllib.parse

RATE = 8000
BYTES_PER_SECOND = RATE * 2
WAV_HEADER = (b"RIFF" + struct.pack("<I", 0x7FFFFFF0 + 36) + b"WAVEfmt " +
              struct.pack("<IHHIIHH", 16, 1, 1, RATE, BYTES_PER_SECOND, 2, 16) +
              b"data" + struct.pack("<I", 0x7FFFFFF0))
TONE = b"".join(struct.pack("<h", int(12000 * math.sin(2 * math.pi * 440 * i / RATE))) for i in range(RATE))


def read_file(name):
    with open(os.path.join(sys.argv[2], name), "rb") as f:
        return f.read()


def metadata_block(title):
    text = ("StreamTitle='%s';" % title).encode("utf-8")
    blocks = (len(text) + 15) // 16
    return bytes([blocks]) + text.ljust(blocks * 16, b"\0")


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def send(self, text):
        self.wfile.write(text.encode("utf-8") if isinstance(text, str) else text)

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        route = getattr(self, "route_" + url.path.strip("/"), None)
        try:
            query = dict(urllib.parse.parse_qsl(url.query, encoding="latin-1"))
            route(query) if route else self.send("HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n")
        except (OSError, ValueError):
            pass

    def route_ogg(self, query):
        links, start = [read_file("a.ogg"), read_file("b.ogg")], time.time()
        self.send("HTTP/1.0 200 OK\r\nContent-Type: application/ogg\r\nicy-name: Ogg Radio\r\n\r\n")
        for n in range(1000):
            link = links[n % 2]
            # Two seconds of audio per link: its bytes are due over two seconds, the first link at once.
            for at in range(0, len(link), 1024):
                time.sleep(max(0.0, start + 2.0 * (n - 1) + 2.0 * at / len(link) - time.time()))
                self.send(link[at:at + 1024])

    def route_old(self, query):
        if self.request_version != "HTTP/1.0":
            return self.send("HTTP/1.1 505 HTTP Version Not Supported\r\nContent-Length: 0\r\n\r\n")
        self.route_stream(dict(query, name="Old Server"))

    def route_redirect(self, query):
        hops, then = int(query.get("hops", "1")), query.get("then", "")
        target = "/redirect?" + urllib.parse.urlencode({"hops": hops - 1, "then": then}) if hops > 1 else "/stream?" + then
        self.send("HTTP/1.1 302 Found\r\nLocation: %s\r\nContent-Length: 0\r\n\r\n" % target)

    def route_loop(self, query):
        self.send("HTTP/1.1 301 Moved\r\nLocation: /loop\r\n\r\n")

    def route_silent(self, query):
        time.sleep(60)

    def route_hugehead(self, query):
        self.send("ICY 200 OK\r\n")
        while True:
            self.send("icy-notice: " + "x" * 1000 + "\r\n")

    def route_slowhead(self, query):
        for byte in b"ICY 200 OK\r\nicy-name: Slow\r\n\r\n":
            self.send(bytes([byte]))
            time.sleep(1)

    def route_stream(self, query):
        number = lambda name, default="-1": int(query.get(name, default))
        chunked, mp3 = query.get("chunked") == "1", query.get("format") == "mp3"
        metaint = number("metaint", "4000") if self.headers.get("icy-metadata") == "1" else 0
        status = "ICY 200 OK" if query.get("style", "icy") == "icy" else "HTTP/1.%d 200 OK" % chunked
        head = [status, "icy-name: " + query.get("name", "Test Radio"), "icy-br: 128", "icy-genre: Tests",
                "Content-Type: audio/" + ("mpeg" if mp3 else "wav"), "Server: test"]
        if "metaint_header" in query:
            head.append("icy-metaint: " + query["metaint_header"])
            metaint = 0
        elif metaint:
            head.append("icy-metaint: %d" % metaint)
        self.send("\r\n".join(head + ["Transfer-Encoding: chunked"] * chunked) + "\r\n\r\n")
        # Audio bytes: `audio` once, then whatever `more()` gives, again and again.
        if query.get("garbage") == "1":
            audio, more = b"", lambda: os.urandom(4096)
        else:
            looped = read_file("tone.mp3") if mp3 else TONE
            audio, more = b"" if mp3 else WAV_HEADER, lambda: looped
        title, sent_title = query.get("title", "First Artist - First Song"), None
        die, stall, pause, burst = number("die"), number("stall"), number("pause"), number("burst", "32000")
        every, trickle, sent, until_meta = number("every", "0") / 1000.0, query.get("trickle") == "1", 0, metaint
        start = last_change = time.time()
        while sent != die:
            if every and time.time() - last_change >= every:
                last_change, title = time.time(), "Clock - %d" % int(time.time() * 1000)
            if sent == stall:
                return time.sleep(60)
            if sent == pause:
                time.sleep(number("pause_ms") / 1000.0)
                start, pause = start + number("pause_ms") / 1000.0, -1  # the pacing carries on from where it stopped
            slow = trickle and sent >= 2000
            step = 1 if slow else int(min(max(burst + (time.time() - start) * BYTES_PER_SECOND - sent, 0), 2000))
            # Never past a point where something happens, nor past the next metadata block.
            step = min([step] + [mark - sent for mark in (die, stall, pause) if mark >= 0] + [until_meta] * bool(metaint))
            while len(audio) < step:
                audio += more()
            data, audio, sent, until_meta = audio[:step], audio[step:], sent + step, until_meta - step
            at_block = metaint and until_meta == 0
            if at_block:
                data += metadata_block(title) if title != sent_title else b"\0"
                until_meta, sent_title = metaint, title
            if data:
                self.send(b"%x\r\n%s\r\n" % (len(data), data) if chunked else data)
            if not at_block:
                time.sleep(1.0 if slow else 0.02)


class Server(http.server.ThreadingHTTPServer):
    def handle_error(self, request, client_address):
        pass  # clients that hang up early are what the tests are about


if __name__ == "__main__":
    server = Server(("127.0.0.1", 0), Handler)
    with open(sys.argv[1] + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    os.rename(sys.argv[1] + ".tmp", sys.argv[1])
    server.serve_forever()
