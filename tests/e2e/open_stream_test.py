"""Context-menu item "Stream.*ffnen" with the fake library and a local web server: the default
address, a PLS list, an endless stream, an error page and a server that never answers (which
answers count as lists is shown in tests/player)."""
import http.server
import socket
import threading
import time
import unittest

import harness as h

PLS = b"[playlist]\nNumberOfEntries=2\nFile1=C:\\music\\x.mp3\nFile2=C:\\music\\y.mp3\n"
WM_NULL = 0
TITLE = "Stream.*ffnen"
GREEN = (0, 200, 0)


class Answers(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        if "missing" in self.path:
            self.send_error(404)  # an HTML page
            return
        self.send_response(200)
        if self.path.endswith(".pls"):
            self.send_header("Content-Type", "audio/x-scpls")
            self.send_header("Content-Length", str(len(PLS)))
            self.end_headers()
            self.wfile.write(PLS)
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


class OpenStream(h.PlayerTest):
    def setUp(self):
        super().setUp()
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Answers)
        self.server.daemon_threads = True
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.base = "http://127.0.0.1:%d/" % self.server.server_address[1]
        self.silent = socket.socket()  # accepts connections, never answers
        self.silent.bind(("127.0.0.1", 0))
        self.silent.listen(8)

    def tearDown(self):
        super().tearDown()
        self.server.shutdown()
        self.server.server_close()
        self.silent.close()

    def open_stream(self, address=None):
        """Types the address into the dialog and clicks "Ok"; returns when the dialog is gone."""
        dialog = h.menu_dialog(self.run_.wait_main_window(), TITLE, "Down", "Down", "Down")
        if address is None:  # the first time: its look, black around the field and the buttons
            h.check_dialog(self, "Stream .ffnen", black=[(0, 0, 202, 100), (0, 140, 202, 250)],
                           coloured=[(GREEN, (2, 102, 200, 118)), (GREEN, (2, 122, 200, 138))])
        else:
            h.click(dialog, 100, 110)
            h.xdotool("key", "End", "key", "--repeat", 30, "BackSpace", "type", "--delay", 20, address)
        h.xdotool("key", "Return", "key", "Escape", "sleep", 0.5)
        self.assertTrue(h.visible_window(TITLE), "Enter and Escape do nothing")
        h.click(dialog, 50, 130)
        h.wait_gone(TITLE)

    def wait_played(self, path):
        h.wait_until(lambda: self.run_.played()[-1:] == [path], what=path + " to be opened")

    def test_default_address_lists_an_endless_stream_and_a_silent_server(self):
        # The fake library answers every formatted list with these two entries.
        self.launch(script=h.playlist_script("C:\\music\\x.mp3", "C:\\music\\y.mp3"))
        self.open_stream()
        self.wait_played("http://stream:port/")

        self.open_stream(self.base + "list.pls")
        h.wait_until(lambda: [r[:2] for r in h.rows()] == [["0", "x.mp3"], ["1", "y.mp3"]],
                     what="the PLS entries, y marked")
        self.wait_played(h.doubled("C:\\music\\y.mp3"))

        radio = self.base + "radio.mp3"
        self.open_stream(radio)
        listed = time.monotonic()
        self.wait_played(radio)
        self.assertLess(time.monotonic() - listed, 3.0, "an endless stream is listed and opened at once")
        self.assertEqual(len(h.rows()), 3)

        before = self.run_.played()
        self.open_stream(self.base + "missing.pls")
        self.open_stream("http://127.0.0.1:%d/live.mp3" % self.silent.getsockname()[1])
        started = time.monotonic()
        self.assertEqual(h.wintool("send", h.MAIN_TITLE, WM_NULL, 0, 0)[0], 0, "the player answers meanwhile")
        h.wait_until(lambda: h.window_info()[6] == 1, what="the main window to take input again")
        self.assertLess(time.monotonic() - started, 13.0, "the download is bounded")
        time.sleep(1)
        self.assertEqual(self.run_.played(), before, "nothing opened for an error page or a server that never answered")
        self.assertEqual(len(h.rows()), 3)


if __name__ == "__main__":
    unittest.main(verbosity=2)
