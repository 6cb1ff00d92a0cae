"""The real TelvaneHost.exe under Wine, driven by raw sockets on 127.0.0.1: the control
server's framing and dispatch, and the dialogues that need no working dial-up line.

Wine's own dial-up service is used here: it knows no entry, so every dial fails at once.
"""
import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import telvane as t  # noqa: E402

HOST_KEY = r"HKCU\Software\Velmora\TelvaneHost"


class HostControlServer(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.port = t.free_port()
        t.reg_delete_key(HOST_KEY)
        t.reg_set(HOST_KEY + r"\Host", "Listening_Port", "REG_DWORD", cls.port)
        cls.host = t.Program("TelvaneHost.exe", extra_files=[os.path.join(t.BIN, "Tools.dll")],
                             debug_channels="-all,+debugstr").start()
        cls.first = t.connect_when_listening(cls.port)

    @classmethod
    def tearDownClass(cls):
        cls.first.close()
        cls.host.cleanup()
        t.reg_delete_key(HOST_KEY)

    def setUp(self):
        self.peers = []
        self.assertTrue(self.host.running(), "the host has ended")

    def tearDown(self):
        for peer in self.peers:
            peer.close()
        self.assertTrue(self.host.running(), "the host has ended")
        # Leave the phone flag clear for the next test: every test starts from "off".
        self.first.send(t.PING)
        answer = self.first.receive(2)
        if answer[1] == t.LINE_PHONE_IN_USE:
            self.first.send(t.PHONE_TOGGLE)
            self.first.receive(1)
        self.first.silent_for(0.3)

    def peer(self):
        peer = t.Peer(self.port)
        self.peers.append(peer)
        return peer

    def log(self):
        return [text for _, text in self.host.status_log("TelvaneHost")]

    def test_ping_is_answered_with_ping_then_the_line_state(self):
        peer = self.peer()
        peer.send(t.PING)
        self.assertEqual(t.names(peer.receive(2)), ["Ping", "LineOffLine"])
        self.assertEqual(peer.silent_for(0.5), [])
        t.wait_until(lambda: any(line.startswith("Received ping from ") and line.endswith(" on port %d"
                                 % peer.sock.getsockname()[1]) for line in self.log()), 5, what="ping log line")

    def test_units_back_to_back_are_handled_one_by_one_in_order(self):
        peer = self.peer()
        peer.send(t.PING, t.PHONE_TOGGLE, t.PING, t.PHONE_TOGGLE, t.PING)
        self.assertEqual(t.names(peer.receive(8)),
                         ["Ping", "LineOffLine", "LinePhoneInUse", "Ping", "LinePhoneInUse", "LineOffLine",
                          "Ping", "LineOffLine"])

    def test_a_unit_split_across_reads_is_acted_on_once_whole(self):
        for cut in (1, 2, 3):
            with self.subTest(cut=cut):
                peer = self.peer()
                data = t.unit(t.PING)
                peer.send_bytes(data[:cut])
                self.assertEqual(peer.silent_for(0.7), [], "acted on a partial unit")
                peer.send_bytes(data[cut:])
                self.assertEqual(t.names(peer.receive(2)), ["Ping", "LineOffLine"])

    def test_values_that_are_no_client_request_have_no_effect(self):
        watcher = self.peer()
        peer = self.peer()
        before = len(self.log())
        # Internal notification numbers of the host (line up, line down, dial error, accepted,
        # tray callback) and window-system messages (destroy, close, quit, command).
        peer.send(1047, 1048, 1050, 1231, 1025, 2, 16, 18, 273, 0, -1, 1225, 1226)
        self.assertEqual(peer.silent_for(1.0), [])
        self.assertEqual(watcher.silent_for(0.2), [])
        self.assertEqual(self.log()[before:], [])
        peer.send(t.PING)
        self.assertEqual(t.names(peer.receive(2)), ["Ping", "LineOffLine"])

    def test_an_idle_connection_stays_listed_and_receives_every_broadcast(self):
        idle = self.peer()
        talker = self.peer()
        time.sleep(0.5)
        talker.send(t.PHONE_TOGGLE)
        self.assertEqual(t.names(talker.receive(1)), ["LinePhoneInUse"])
        self.assertEqual(t.names(idle.receive(1)), ["LinePhoneInUse"])
        self.assertEqual(t.names(self.first.receive(1)), ["LinePhoneInUse"])
        talker.send(t.PHONE_TOGGLE)
        self.assertEqual(t.names(idle.receive(1)), ["LineOffLine"])
        self.assertEqual(t.names(talker.receive(1)), ["LineOffLine"])
        self.assertEqual(t.names(self.first.receive(1)), ["LineOffLine"])

    def test_ping_while_the_phone_is_in_use(self):
        peer = self.peer()
        peer.send(t.PHONE_TOGGLE)
        peer.receive(1)
        self.first.receive(1)
        peer.send(t.PING)
        self.assertEqual(t.names(peer.receive(2)), ["Ping", "LinePhoneInUse"])

    def test_voice_line_request_with_nobody_on_the_line_reaches_nobody(self):
        listener = self.peer()
        peer = self.peer()
        peer.send(t.VOICE_LINE_REQUEST)
        self.assertEqual(peer.silent_for(0.7), [])
        self.assertEqual(listener.silent_for(0.2), [])

    def test_disconnect_request_from_a_non_user_does_nothing(self):
        peer = self.peer()
        before = len(self.log())
        peer.send(t.DISCONNECT_REQUEST)
        self.assertEqual(peer.silent_for(0.7), [])
        self.assertEqual(self.log()[before:], [])

    def test_a_dial_that_fails_at_once(self):
        other = self.peer()
        requester = self.peer()
        before = len(self.log())
        requester.send(t.CONNECT_REQUEST)
        self.assertEqual(t.names(requester.receive(2)), ["ConnectFailed", "LineOffLine"])
        self.assertEqual(t.names(other.receive(1)), ["LineOffLine"])
        self.assertEqual(t.names(self.first.receive(1)), ["LineOffLine"])
        lines = t.wait_until(lambda: self.log()[before:] if len(self.log()) - before >= 4 else None, 5,
                             what="four log lines")
        self.assertRegex(lines[0], r"^Received connect request from .+ on port %d$"
                         % requester.sock.getsockname()[1])
        self.assertEqual(lines[1:], ["Attempting to connect to dial-up connection: Ringwell",
                                     "Connect failed because: Undefined RAS Error",
                                     "Disconnected from connection: Ringwell"])

    def test_garbage_half_units_and_abrupt_closes_do_not_stall_others(self):
        watcher = self.peer()
        for i in range(20):
            rogue = t.Peer(self.port)
            rogue.send_bytes(os.urandom(4 * (i % 5) + (i % 4)))
            if i % 2:
                rogue.abort()
            else:
                rogue.close()
        # A flood of units that do nothing, then one that does.
        flood = self.peer()
        flood.send_bytes(t.unit(2) * 5000)
        flood.send(t.PING)
        self.assertEqual(t.names(flood.receive(2, timeout=30)), ["Ping", "LineOffLine"])
        watcher.send(t.PING)
        self.assertEqual(t.names(watcher.receive(2)), ["Ping", "LineOffLine"])


if __name__ == "__main__":
    unittest.main(verbosity=2)
