"""TelvaneClient.exe under Wine against hostile hosts made of plain sockets on loopback:
random bytes, half units, a flood of line-state changes, a host that accepts and never
answers, a host that closes every connection at once. The client must keep its tray
state right and keep its reconnect cycle going. Every loop is bounded in count and time.
"""
import os
import struct
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from client_support import (CLIENT_KEY, CONNECTED, NO_HOST, OFF_LINE, ON_LINE, PHONE_IN_USE,  # noqa: E402
                            Client, ScriptedHost, configure_client, t)

HOST_CODES = {t.PING, t.DIALUP_ESTABLISHED, t.LINE_OFF_LINE, t.LINE_ON_LINE, t.LINE_PHONE_IN_USE,
              t.CONNECT_FAILED, t.HANG_UP_FAILED, t.VOICE_LINE_REQUEST}
# code: (log line, picture, state, tooltip)
LINE_CODES = {
    t.LINE_OFF_LINE: ("The proxy is disconnected", OFF_LINE, "OffLine", "Off-line"),
    t.LINE_ON_LINE: ("Proxy is on-line", ON_LINE, "OnLine", "On-line"),
    t.LINE_PHONE_IN_USE: ("The telephone line is in use for voice traffic", PHONE_IN_USE, "PhoneInUse",
                          "Phone in use"),
    t.DIALUP_ESTABLISHED: ("Successfully established dial-up connection", CONNECTED, "Connected", "Connected"),
}


def harmless_random_bytes(count):
    """Random bytes in which no four consecutive bytes, at any offset, are a code the client
    acts on (a VoiceLineRequest would open a system-modal box)."""
    data = bytearray(os.urandom(count))
    for _ in range(100):
        hits = [i for i in range(len(data) - 3) if struct.unpack_from("<i", data, i)[0] in HOST_CODES]
        if not hits:
            return bytes(data)
        for i in hits:
            data[i] ^= 0x80
    raise AssertionError("could not draw harmless random bytes")


class AgainstHostileHost(unittest.TestCase):
    def setUp(self):
        self.host = ScriptedHost()
        configure_client(self.host.port)
        self.client = Client().start()
        self.conn = self.host.accept()
        self.assertEqual(t.names(self.conn.receive(1)), ["Ping"])
        self.client.wait_log("Connected to remote socket. Sending Ping message")

    def tearDown(self):
        self.assertTrue(self.client.running(), "the client has ended")
        self.client.cleanup()
        self.conn.close()
        self.host.close()
        t.reg_delete_key(CLIENT_KEY)

    def assert_shows(self, code):
        text, picture, state, tooltip = LINE_CODES[code]
        self.client.wait_tray(picture, tooltip, timeout=60)
        self.assertEqual(self.client.tray()[-1], (picture, state, tooltip))
        self.assertEqual(self.client.states()[-1], state)

    def test_random_bytes_and_half_units_change_nothing_until_a_whole_code_comes(self):
        self.conn.send(t.LINE_ON_LINE)
        self.assert_shows(t.LINE_ON_LINE)
        # (what the host sends; a whole code after it must still count once)
        cases = [
            ("random bytes", harmless_random_bytes(8192), t.LINE_PHONE_IN_USE),
            ("half a unit, then silence", t.unit(t.LINE_OFF_LINE)[:2], t.LINE_ON_LINE),
            ("three bytes of a unit, then silence", t.unit(t.DIALUP_ESTABLISHED)[:3], t.LINE_OFF_LINE),
        ]
        for what, data, then in cases:
            with self.subTest(sent=what):
                log = self.client.log()
                tray = self.client.tray()
                self.conn.send_bytes(data)
                time.sleep(1.0)
                self.assertEqual(self.client.log(), log, "the client acted on %s" % what)
                self.assertEqual(self.client.tray(), tray)
                # A partial unit is completed by the next bytes, whatever they are; these
                # make it a value the client drops, and the stream is aligned again.
                if len(data) % 4:
                    self.conn.send_bytes(b"\xff" * (4 - len(data) % 4))
                self.conn.send(then)
                self.client.wait_log(LINE_CODES[then][0], self.client.texts().count(LINE_CODES[then][0]) + 1)
                self.assert_shows(then)
        self.assertEqual(self.conn.silent_for(0.5), [], "the client sent something unasked")

    def test_a_flood_of_line_state_changes_ends_in_the_last_state(self):
        count = 2000
        order = [t.LINE_ON_LINE, t.LINE_PHONE_IN_USE, t.DIALUP_ESTABLISHED, t.LINE_OFF_LINE]
        codes = [order[i % len(order)] for i in range(count - 1)] + [t.LINE_ON_LINE]
        before = len(self.client.log())
        started = time.monotonic()
        self.conn.send(*codes)
        t.wait_until(lambda: len(self.client.log()) >= before + count, 120, interval=0.5,
                     what="%d log lines" % count)
        seconds = time.monotonic() - started
        # Every code was acted on once, in order, and the tray shows the last one.
        self.assertEqual([text for _, text in self.client.log()[before:]],
                         [LINE_CODES[code][0] for code in codes])
        self.assert_shows(t.LINE_ON_LINE)
        print("FIGURE client: %d line-state codes handled in %.1f s" % (count, seconds), flush=True)
        self.assertEqual(self.conn.silent_for(0.5), [])

    def test_a_host_that_accepts_and_never_answers(self):
        # The client waits without a time-out of its own: no state from the host, no change.
        time.sleep(3.0)
        self.assertEqual(self.client.tray(), [(NO_HOST, "NoHost", "Telvane Remote Control")])
        self.assertEqual(self.client.texts(), ["Connected to remote socket. Sending Ping message"])
        self.assertEqual(self.conn.silent_for(0.5), [], "the client pinged twice")
        # Once that host gives up, the client reconnects at once and a host that answers is heard.
        self.conn.close()
        started = time.monotonic()
        self.conn = self.host.accept(timeout=10)
        self.assertLess(time.monotonic() - started, 3.0, "the reconnection waited for the timer")
        self.assertEqual(t.names(self.conn.receive(1)), ["Ping"])
        self.conn.send(t.PING, t.LINE_OFF_LINE)
        self.assert_shows(t.LINE_OFF_LINE)

    def test_a_host_that_closes_every_connection_at_once(self):
        self.conn.close()
        # A bounded stretch of a host that accepts and drops every connection.
        accepted = 0
        deadline = time.monotonic() + 12.0
        while time.monotonic() < deadline and accepted < 5000:
            self.host.listener.settimeout(max(0.05, deadline - time.monotonic()))
            try:
                sock, _ = self.host.listener.accept()
            except OSError:
                continue
            sock.close()
            accepted += 1
        print("FIGURE client: %d connections in 12 s against a host that drops each one" % accepted, flush=True)
        self.assertTrue(self.client.running())
        # One closure is taken up again at once, further ones on the five-second reconnect
        # timer: twelve seconds hold a few attempts, not as many as the loopback allows.
        self.assertGreaterEqual(accepted, 2, "the client stopped trying")
        self.assertLessEqual(accepted, 6, "the client spun through %d connections" % accepted)
        self.assertEqual(self.client.tray()[-1], (NO_HOST, "NoHost", "Cannot locate server"))
        self.assertEqual(self.client.states()[-1], "NoHost")
        # The cycle goes on: a host that answers is reached by the next attempt.
        self.conn = self.host.accept(timeout=10)
        self.assertEqual(t.names(self.conn.receive(1)), ["Ping"])
        self.conn.send(t.PING, t.LINE_PHONE_IN_USE)
        self.assert_shows(t.LINE_PHONE_IN_USE)
        # A host that talks and then closes is reconnected to at once again.
        self.conn.close()
        started = time.monotonic()
        self.conn = self.host.accept(timeout=10)
        self.assertLess(time.monotonic() - started, 3.0, "the reconnection waited for the timer")
        self.assertEqual(t.names(self.conn.receive(1)), ["Ping"])


if __name__ == "__main__":
    unittest.main(verbosity=2)
