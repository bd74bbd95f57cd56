"""Context-menu item "Stream.*ffnen" under Wine with the fake library: the untouched default
address is listed as a stream without a download; PLS and M3U lists from a local web server
replace the playlist and their last entry plays; an endless audio answer is listed as a
stream at once; an error page changes nothing, nor does a server that never answers, which
holds nothing up."""
import http.server
import socket
import threading
import time
import unittest

import harness as h

LISTS = {".pls": (b"audio/x-scpls", b"[playlist]\nNumberOfEntries=2\nFile1=C:\\music\\x.mp3\nFile2=C:\\music\\y.mp3\n"),
         ".m3u": (b"audio/x-mpegurl", b"#EXTM3U\nC:\\music\\x.mp3\nC:\\music\\y.mp3\n")}
WM_NULL = 0


class Answers(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        if "missing" in self.path:
            self.send_error(404)  # an HTML page
            return
        self.send_response(200)
        if self.path[-4:] in LISTS:
            content_type, body = LISTS[self.path[-4:]]
            self.send_header("Content-Type", content_type.decode())
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
            return
        self.send_header("Content-Type", "audio/mpeg")  # an endless radio stream
        self.end_headers()
        try:
            while True:
                self.wfile.write(b"\xff\xfb\x90\x64" + b"\0" * 4092)
        except OSError:
            pass

    def log_message(self, *args):
        pass


def rows():
    return [row[:2] for row in h.rows()]


class OpenStream(unittest.TestCase):
    def setUp(self):
        h.kill_leftover_players()
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Answers)
        self.server.daemon_threads = True
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.base = "http://127.0.0.1:%d/" % self.server.server_address[1]
        self.silent = socket.socket()  # accepts connections, never answers
        self.silent.bind(("127.0.0.1", 0))
        self.silent.listen(8)

    def tearDown(self):
        self.run_.stop()
        self.server.shutdown()
        self.server.server_close()
        self.silent.close()

    def open_stream(self, address=None):
        """Types the address into the dialog and clicks "Ok"; returns when the dialog is gone."""
        # "Auswahl entfernen", a separator, "Datei.*ffnen", then "Stream.*ffnen".
        h.context_menu(self.run_.wait_main_window(), "Down", "Down", "Down", "Return")
        dialog = h.wait_until(lambda: h.visible_window("Stream.*ffnen"), what="the stream dialog")
        if address is None:  # the first time: its look
            x, y = h.dialog_corner(self, "Stream .ffnen")
            shot = h.screen()
            self.assertEqual(h.colours(shot, x, y, x + 202, y + 100) | h.colours(shot, x, y + 140, x + 202, y + 250),
                             {(0, 0, 0)}, "black around the controls")
            for top in (100, 120):  # the field, then the buttons
                self.assertIn((0, 200, 0), h.colours(shot, x + 2, y + top + 2, x + 200, y + top + 18))
        else:
            h.click(dialog, 100, 110)
            h.xdotool("key", "End", "key", "--repeat", 30, "BackSpace", "type", "--delay", 20, address)
        h.xdotool("key", "Return", "key", "Escape", "sleep", 0.5)
        self.assertTrue(h.visible_window("Stream.*ffnen"), "Enter and Escape do nothing")
        h.click(dialog, 50, 130)
        h.wait_until(lambda: not h.visible_window("Stream.*ffnen"), what="the dialog to close")

    def wait_rows(self, expected, what):
        try:
            h.wait_until(lambda: rows() == expected, what=what)
        except AssertionError:
            self.fail("%s: rows %s; opened %s" % (what, rows(), self.run_.played()))

    def wait_played(self, path, timeout=20):
        try:
            h.wait_until(lambda: self.run_.played()[-1:] == [path], timeout=timeout, what=path + " to be opened")
        except AssertionError:
            self.fail("%s not opened; opened: %s; rows: %s" % (path, self.run_.played(), rows()))

    def test_default_address_lists_an_endless_stream_and_a_silent_server(self):
        temp = h.wintool("temp-folder")[1].decode("latin-1")
        # The fake library answers every formatted list with these two entries.
        script = "file %sQuendralistformated.tmp\ntag 8 FILE C:\\\\music\\\\x.mp3\ntag 8 FILE C:\\\\music\\\\y.mp3\n" % temp
        self.run_ = h.PlayerRun("open_stream", script=script)
        self.run_.start()

        self.open_stream()
        self.wait_played("http://stream:port/")

        self.open_stream(self.base + "list.pls")
        self.wait_rows([["0", "x.mp3"], ["1", "y.mp3"]], "the PLS entries, y marked")
        self.wait_played("C:\\\\music\\\\y.mp3")

        radio = self.base + "radio.mp3"
        self.open_stream(radio)
        listed = time.monotonic()
        self.wait_played(radio)
        self.assertLess(time.monotonic() - listed, 3.0, "an endless stream is listed and opened at once")
        self.assertEqual(len(rows()), 3)

        self.open_stream(self.base + "list.m3u")
        self.wait_rows([["0", "x.mp3"], ["1", "y.mp3"]], "the M3U's entries in place of all")
        self.wait_played("C:\\\\music\\\\y.mp3")

        before = self.run_.played()
        self.open_stream(self.base + "missing.pls")
        self.open_stream("http://127.0.0.1:%d/live.mp3" % self.silent.getsockname()[1])
        started = time.monotonic()
        self.assertEqual(h.wintool("send", h.MAIN_TITLE, WM_NULL, 0, 0)[0], 0, "the player answers meanwhile")
        h.wait_until(lambda: h.wintool("window-enabled", h.MAIN_TITLE)[1].strip() == b"1", timeout=20,
                     what="the main window to take input again")
        self.assertLess(time.monotonic() - started, 13.0, "the download is bounded")
        time.sleep(1)
        self.assertEqual(self.run_.played(), before, "nothing opened for an error page or a server that never answered")
        self.assertEqual(len(rows()), 2)


if __name__ == "__main__":
    unittest.main(verbosity=2)
