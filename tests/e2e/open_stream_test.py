"""Context-menu item "Stream.*ffnen" under Wine with the fake library: the untouched default
address is listed as a stream without a download; a list from a local web server replaces
the playlist and its last entry plays; an endless audio answer is listed as a stream."""
import http.server
import threading
import unittest

import harness as h

MENU_SPOT = (100, 60)  # in the oscilloscope, where a right click opens the context menu
PLS = b"[playlist]\nNumberOfEntries=2\nFile1=C:\\music\\x.mp3\nFile2=C:\\music\\y.mp3\n"


class Answers(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
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


def rows():
    return [line.split("\t")[:2] for line in h.wintool("list-rows", h.MAIN_TITLE, 16)[1].decode("latin-1").splitlines()]


def played(run):
    return [line.split('"')[1] for line in run.log() if line.startswith("FMOD_System_CreateStream(") and "0xc9" in line]


class OpenStream(unittest.TestCase):
    def setUp(self):
        h.kill_leftover_players()
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Answers)
        self.server.daemon_threads = True
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.base = "http://127.0.0.1:%d/" % self.server.server_address[1]

    def tearDown(self):
        self.run_.stop()
        self.server.shutdown()
        self.server.server_close()

    def open_stream(self, address=None):
        window = self.run_.wait_main_window()
        h.click(window, *MENU_SPOT, button=3)
        # "Auswahl entfernen", a separator, "Datei.*ffnen", then "Stream.*ffnen".
        h.xdotool("sleep", 0.5, "key", "Down", "sleep", 0.2, "key", "Down", "sleep", 0.2, "key", "Down",
                  "sleep", 0.2, "key", "Return")
        dialog = h.wait_until(lambda: h.visible_window("Stream.*ffnen"), what="the stream dialog")
        if address is not None:
            h.click(dialog, 100, 110)
            h.xdotool("key", "End", "key", "--repeat", 30, "BackSpace", "type", "--delay", 20, address)
        h.xdotool("key", "Return", "key", "Escape", "sleep", 0.5)
        self.assertTrue(h.visible_window("Stream.*ffnen"), "Enter and Escape do nothing")
        h.click(dialog, 50, 130)
        h.wait_until(lambda: not h.visible_window("Stream.*ffnen"), what="the dialog to close")

    def test_default_address_then_a_list_then_an_endless_stream(self):
        temp = h.wintool("temp-folder")[1].decode("latin-1")
        script = "file %sQuendralistformated.tmp\ntag 8 FILE C:\\\\music\\\\x.mp3\ntag 8 FILE C:\\\\music\\\\y.mp3\n" % temp
        self.run_ = h.PlayerRun("open_stream", script=script)
        self.run_.start()

        self.open_stream()
        self.run_.wait_log(lambda line: "http://stream:port/" in line, what="the default address to be opened")
        self.assertEqual(played(self.run_)[-1], "http://stream:port/")

        self.open_stream(self.base + "list.pls")
        h.wait_until(lambda: rows() == [["0", "x.mp3"], ["1", "y.mp3"]], what="the list's entries, y marked")
        self.assertEqual(played(self.run_)[-1], "C:\\\\music\\\\y.mp3")

        radio = self.base + "radio.mp3"
        self.open_stream(radio)
        h.wait_until(lambda: played(self.run_)[-1] == radio, timeout=30, what="the endless stream listed and opened")
        self.assertEqual(len(rows()), 3)


if __name__ == "__main__":
    unittest.main(verbosity=2)
