"""The real TelvaneHost.exe under Wine on the paths its speed depends on: many pings on a
connection that stays open, the answers to a stream of units, and the status-log lines
that name each peer. Only bytes, their order and texts are checked, never a time.
"""
import os
import socket
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import telvane as t  # noqa: E402

HOST_KEY = r"HKCU\Software\Velmora\TelvaneHost"


class HostSpeedPaths(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.port = t.free_port()
        t.reg_delete_key(HOST_KEY)
        t.reg_set(HOST_KEY + r"\Host", "Listening_Port", "REG_DWORD", cls.port)
        cls.host = t.Program("TelvaneHost.exe", extra_files=[os.path.join(t.BIN, "Tools.dll")],
                             debug_channels="-all,+debugstr").start()
        t.connect_when_listening(cls.port).close()

    @classmethod
    def tearDownClass(cls):
        cls.host.cleanup()
        t.reg_delete_key(HOST_KEY)

    def setUp(self):
        self.peers = []
        self.assertTrue(self.host.running(), "the host has ended")

    def tearDown(self):
        for peer in self.peers:
            peer.close()
        self.assertTrue(self.host.running(), "the host has ended")

    def peer(self):
        peer = t.Peer(self.port)
        self.peers.append(peer)
        return peer

    def ping_lines(self):
        return [text for kind, text in self.host.status_log("TelvaneHost")
                if kind == 0 and text.startswith("Received ping from ")]

    def test_every_ping_on_an_open_connection_gets_the_same_two_units(self):
        peer = self.peer()
        for state, toggle_answer in ((t.LINE_OFF_LINE, t.LINE_PHONE_IN_USE), (t.LINE_PHONE_IN_USE, t.LINE_OFF_LINE)):
            for i in range(50):
                peer.send(t.PING)
                self.assertEqual(t.names(peer.receive(2)), t.names([t.PING, state]), "ping %d" % i)
            peer.send(t.PHONE_TOGGLE)
            self.assertEqual(t.names(peer.receive(1)), t.names([toggle_answer]))
        self.assertEqual(peer.silent_for(0.3), [])

    def test_a_stream_of_pings_and_other_values_is_answered_in_order(self):
        peer = self.peer()
        before = len(self.ping_lines())
        # 400 units in one go: pings, values that are no request, and two toggles among them.
        stream = []
        expected = []
        phone = False
        for i in range(200):
            stream += [t.PING, 2 if i % 2 else 1047]
            expected += [t.PING, t.LINE_PHONE_IN_USE if phone else t.LINE_OFF_LINE]
            if i in (70, 140):
                stream.append(t.PHONE_TOGGLE)
                expected.append(t.LINE_OFF_LINE if phone else t.LINE_PHONE_IN_USE)
                phone = not phone
        peer.send(*stream)
        self.assertEqual(t.names(peer.receive(len(expected), timeout=60)), t.names(expected))
        self.assertEqual(peer.silent_for(0.3), [])
        port = peer.sock.getsockname()[1]
        lines = t.wait_until(lambda: (lambda got: got if len(got) >= before + 200 else None)(self.ping_lines()),
                             30, what="200 ping log lines")
        new = lines[before:]
        self.assertEqual(len(new), 200)
        self.assertTrue(all(line.endswith(" on port %d" % port) for line in new), new[:3])
        self.assertEqual(len(set(new)), 1, "one peer, one text")

    def test_ping_lines_name_each_connection_by_its_own_peer(self):
        peers = [self.peer() for _ in range(3)]
        before = len(self.ping_lines())
        order = [0, 1, 2, 1, 0, 2, 2, 0]
        for i in order:
            peers[i].send(t.PING)
            self.assertEqual(t.names(peers[i].receive(2)), ["Ping", "LineOffLine"])
        lines = t.wait_until(lambda: (lambda got: got if len(got) >= before + len(order) else None)(
            self.ping_lines()), 10, what="ping log lines")[before:]
        ports = [p.sock.getsockname()[1] for p in peers]
        names = set()
        for line, i in zip(lines, order):
            head, _, tail = line.rpartition(" on port ")
            self.assertEqual(tail, str(ports[i]), line)
            names.add(head[len("Received ping from "):])
        # Every peer is on this machine: one resolved name for all, the resolver's own.
        self.assertEqual(len(names), 1, names)
        name = names.pop()
        self.assertTrue(name, "empty peer name")
        self.assertIn(name, {socket.gethostbyaddr(t.LOOPBACK)[0], t.LOOPBACK, "localhost"})


if __name__ == "__main__":
    unittest.main(verbosity=2)
