"""TelvaneHost.exe under Wine with the dial-up line simulator, driven by raw sockets on
127.0.0.1: every dialogue that needs the line, the exact codes each client receives and
their order, and the status log."""
import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import telvane as t  # noqa: E402

HOST_KEY = r"HKCU\Software\Velmora\TelvaneHost"
FRAME = "TelvaneHostFrame"
ID_HANG_UP = 151

LINE = "entry Ringwell dial_ms=%d hangup_error=%d\r\nentry Other dial_ms=200\r\n"


class HostDialup(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.port = t.free_port()
        t.reg_delete_key(HOST_KEY)
        t.reg_set(HOST_KEY + r"\Host", "Listening_Port", "REG_DWORD", cls.port)
        cls.host = t.SimulatedHost(LINE % (300, 0)).start()
        t.connect_when_listening(cls.port).close()

    @classmethod
    def tearDownClass(cls):
        cls.host.cleanup()
        t.reg_delete_key(HOST_KEY)

    def setUp(self):
        self.peers = []
        self.host.set_script(LINE % (300, 0))
        self.assertTrue(self.host.running(), "the host has ended")

    def tearDown(self):
        for peer in self.peers:
            peer.close()
        time.sleep(0.3)
        self.assertTrue(self.host.running(), "the host has ended")
        # Every test leaves an idle line: a fresh client's ping says so.
        probe = t.Peer(self.port)
        probe.send(t.PING)
        state = probe.receive(2)[1]
        probe.close()
        self.assertEqual(t.NAMES[state], "LineOffLine", "the test left the line or the phone in use")

    def peer(self, ping=True):
        peer = t.Peer(self.port)
        if ping:
            peer.send(t.PING)
            peer.receive(2)
        self.peers.append(peer)
        return peer

    def log(self):
        return [text for _, text in self.host.status_log("TelvaneHost")]

    def log_after(self, before, count, timeout=5):
        return t.wait_until(lambda: self.log()[before:] if len(self.log()) - before >= count else None, timeout,
                            what="%d log lines" % count)

    def connect(self, peer):
        """Makes peer a user; returns once the host has finished logging it."""
        done = "Sucessfully established dial up connection to Ringwell"
        dialled = self.log().count(done)
        dials = len(self.host.calls("dial"))
        peer.send(t.CONNECT_REQUEST)
        self.assertEqual(t.names(peer.receive(1)), ["DialupEstablished"])
        if len(self.host.calls("dial")) > dials:
            t.wait_until(lambda: self.log().count(done) > dialled, 5, what="the dial's log line")

    def test_dial_answers_the_requester_and_tells_the_others(self):
        watcher = self.peer()
        requester = self.peer()
        dials = len(self.host.calls("dial"))
        before = len(self.log())
        requester.send(t.CONNECT_REQUEST)
        self.assertEqual(requester.silent_for(0.1), [], "answered before the dial ended")
        self.assertEqual(t.names(requester.receive(1)), ["DialupEstablished"])
        self.assertEqual(t.names(watcher.receive(1)), ["LineOnLine"])
        dial = self.host.calls("dial")[dials]
        self.assertEqual((dial["entry"], dial["user"], dial["password"]), ("Ringwell", "Username", "Kelmabot"))
        lines = self.log_after(before, 3)
        self.assertRegex(lines[0], r"^Received connect request from .+ on port \d+$")
        self.assertEqual(lines[1:3], ["Attempting to connect to dial-up connection: Ringwell",
                                      "Sucessfully established dial up connection to Ringwell"])
        # A second request while the line is up is granted at once, without a dial.
        watcher.send(t.CONNECT_REQUEST)
        self.assertEqual(t.names(watcher.receive(1)), ["DialupEstablished"])
        # A repeated request from a user gives nothing.
        watcher.send(t.CONNECT_REQUEST)
        self.assertEqual(watcher.silent_for(0.5), [])
        self.assertEqual(len(self.host.calls("dial")), dials + 1)
        # One of two users leaves: it hears the line is still on; the last one: everybody off.
        watcher.send(t.DISCONNECT_REQUEST)
        self.assertEqual(t.names(watcher.receive(1)), ["LineOnLine"])
        self.assertEqual(requester.silent_for(0.3), [])
        hangups = len(self.host.calls("hangup"))
        requester.send(t.DISCONNECT_REQUEST)
        self.assertEqual(t.names(requester.receive(1)), ["LineOffLine"])
        self.assertEqual(t.names(watcher.receive(1)), ["LineOffLine"])
        self.assertGreater(len(self.host.calls("hangup")), hangups)

    def test_a_second_request_during_the_dial_gets_nothing_then_line_on_line(self):
        self.host.set_script(LINE % (1500, 0))
        first = self.peer()
        second = self.peer()
        before = len(self.log())
        first.send(t.CONNECT_REQUEST)
        time.sleep(0.3)
        second.send(t.CONNECT_REQUEST)
        self.assertEqual(t.names(first.receive(1, timeout=10)), ["DialupEstablished"])
        self.assertEqual(t.names(second.receive(1)), ["LineOnLine"])
        self.assertEqual(second.silent_for(0.3), [])
        lines = self.log_after(before, 4)
        self.assertTrue(lines[2].startswith("Received connect request from "), lines)
        self.assertEqual(lines[3], "Sucessfully established dial up connection to Ringwell")
        first.send(t.DISCONNECT_REQUEST)
        self.assertEqual(t.names(first.receive(1)), ["LineOffLine"])
        self.assertEqual(t.names(second.receive(1)), ["LineOffLine"])

    def test_ping_while_the_line_is_up_and_the_phone_flag_set(self):
        user = self.peer()
        self.connect(user)
        other = self.peer()
        other.send(t.PHONE_TOGGLE)
        self.assertEqual(t.names(other.receive(1)), ["LinePhoneInUse"])
        self.assertEqual(t.names(user.receive(1)), ["LinePhoneInUse"])
        other.send(t.PING)
        self.assertEqual(t.names(other.receive(2)), ["Ping", "LineOnLine"])
        # The toggle leaves the line up.
        other.send(t.PHONE_TOGGLE)
        self.assertEqual(t.names(other.receive(1)), ["LineOffLine"])
        user.receive(1)
        other.send(t.PING)
        self.assertEqual(t.names(other.receive(2)), ["Ping", "LineOnLine"])
        user.send(t.DISCONNECT_REQUEST)
        user.receive(1)
        other.receive(1)

    def test_voice_line_request_reaches_every_user_and_nobody_else(self):
        user1 = self.peer()
        self.connect(user1)
        user2 = self.peer()
        self.connect(user2)
        bystander = self.peer()
        bystander.send(t.VOICE_LINE_REQUEST)
        self.assertEqual(t.names(user1.receive(1)), ["VoiceLineRequest"])
        self.assertEqual(t.names(user2.receive(1)), ["VoiceLineRequest"])
        self.assertEqual(bystander.silent_for(0.5), [])
        user1.send(t.VOICE_LINE_REQUEST)
        self.assertEqual(t.names(user1.receive(1)), ["VoiceLineRequest"])
        self.assertEqual(t.names(user2.receive(1)), ["VoiceLineRequest"])
        self.assertEqual(bystander.silent_for(0.3), [])
        self.host_hang_up([user1, user2, bystander])

    def test_closing_the_last_users_connection_hangs_up(self):
        watcher = self.peer()
        user = self.peer()
        self.connect(user)
        watcher.receive(1)
        port = user.sock.getsockname()[1]
        before = len(self.log())
        hangups = len(self.host.calls("hangup"))
        user.close()
        self.peers.remove(user)
        self.assertEqual(t.names(watcher.receive(1)), ["LineOffLine"])
        lines = self.log_after(before, 2)
        self.assertRegex(lines[0], r"^Received disconnect request from .+ on port %d$" % port)
        self.assertEqual(lines[1], "Disconnected from connection: Ringwell")
        self.assertGreater(len(self.host.calls("hangup")), hangups)

    def test_a_dial_that_fails_later(self):
        self.host.set_script("entry Ringwell dial_ms=300 result=678\r\nerrortext 678 The remote computer did not respond.\r\n")
        other = self.peer()
        requester = self.peer()
        before = len(self.log())
        requester.send(t.CONNECT_REQUEST)
        self.assertEqual(t.names(requester.receive(2)), ["ConnectFailed", "LineOffLine"])
        self.assertEqual(t.names(other.receive(1)), ["LineOffLine"])
        lines = self.log_after(before, 4)
        self.assertEqual(lines[1:], ["Attempting to connect to dial-up connection: Ringwell",
                                     "Connect failed because: The remote computer did not respond.",
                                     "Disconnected from connection: Ringwell"])

    def test_an_error_without_text_and_an_unknown_entry(self):
        for script, reason in (("entry Ringwell dial_ms=100 result=650\r\nnotext 650\r\n", "Undefined RAS Error"),
                               ("entry Other\r\n", None)):
            with self.subTest(reason=reason):
                self.host.set_script(script)
                requester = self.peer()
                before = len(self.log())
                requester.send(t.CONNECT_REQUEST)
                self.assertEqual(t.names(requester.receive(2)), ["ConnectFailed", "LineOffLine"])
                lines = self.log_after(before, 4)
                self.assertTrue(lines[2].startswith("Connect failed because: "), lines)
                if reason:
                    self.assertEqual(lines[2], "Connect failed because: " + reason)

    def test_a_line_that_drops_by_itself_is_noticed_within_about_a_second(self):
        for notify in (1, 0):
            with self.subTest(drop_notify=notify):
                self.host.set_script("entry Ringwell dial_ms=100 drop_after_ms=700 drop_notify=%d\r\n" % notify)
                watcher = self.peer()
                user = self.peer()
                self.connect(user)
                watcher.receive(1)
                dropped = time.monotonic()
                self.assertEqual(t.names(user.receive(1, timeout=5)), ["LineOffLine"])
                self.assertLess(time.monotonic() - dropped, 0.7 + 2.5)
                self.assertEqual(t.names(watcher.receive(1)), ["LineOffLine"])
                user.silent_for(1.5)
                watcher.silent_for(0.1)

    def host_hang_up(self, clients):
        before = len(self.log())
        self.assertEqual(t.winctl("command", FRAME, ID_HANG_UP)[0], 0)
        for client in clients:
            self.assertEqual(t.names(client.receive(2)), ["LineOffLine", "LineOffLine"])
        return self.log_after(before, 3)

    def test_hang_up_from_the_tray_menu_tells_everybody_twice(self):
        user = self.peer()
        self.connect(user)
        other = self.peer()
        lines = self.host_hang_up([user, other])
        self.assertEqual(lines, ["Global disconnect requested", "Disconnected from connection: Ringwell",
                                 "Successfully hung up connection"])

    def test_a_failed_hang_up(self):
        self.host.set_script(LINE % (100, 668))
        user = self.peer()
        self.connect(user)
        before = len(self.log())
        user.send(t.DISCONNECT_REQUEST)
        self.assertEqual(t.names(user.receive(2)), ["LineOffLine", "HangUpFailed"])
        lines = self.log_after(before, 3)
        self.assertEqual(lines[1:], ["Disconnected from connection: Ringwell", "Failed to hang up the connection"])

    def test_the_requester_gone_during_the_dial(self):
        self.host.set_script(LINE % (1200, 0))
        watcher = self.peer()
        requester = self.peer()
        requester.send(t.CONNECT_REQUEST)
        time.sleep(0.3)
        requester.close()
        self.peers.remove(requester)
        # Nobody is left to use the line: it goes down again and everybody hears so.
        self.assertEqual(t.names(watcher.receive(1, timeout=10)), ["LineOffLine"])
        self.assertEqual(watcher.silent_for(0.5), [])

    def test_a_storm_of_requests_and_closes_leaves_consistent_lists(self):
        self.host.set_script(LINE % (50, 0))
        deadline = time.monotonic() + 60
        for round_ in range(8):
            self.assertLess(time.monotonic(), deadline)
            peers = [t.Peer(self.port) for _ in range(4)]
            for i, peer in enumerate(peers):
                peer.send(t.CONNECT_REQUEST, t.PHONE_TOGGLE, t.DISCONNECT_REQUEST, t.CONNECT_REQUEST)
                if (i + round_) % 2:
                    peer.abort()
            time.sleep(0.4)
            for peer in peers:
                peer.close()
        time.sleep(1.0)
        probe = self.peer(ping=False)
        probe.send(t.PING)
        answer = probe.receive(2)
        if answer[1] == t.LINE_PHONE_IN_USE:
            probe.send(t.PHONE_TOGGLE)
            probe.receive(1)
        probe.send(t.PING)
        self.assertEqual(t.names(probe.receive(2)), ["Ping", "LineOffLine"])


if __name__ == "__main__":
    unittest.main(verbosity=2)
