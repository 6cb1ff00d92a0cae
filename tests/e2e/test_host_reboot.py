"""A client's restart request to TelvaneHost: every client is told the line is off and
dropped, the line is hung up, then the PC restarts. Under Wine a restart ends every
program of the prefix (Linux itself is never restarted), so the host runs in a prefix of
its own here and the other tests' programs are not touched."""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import telvane as t  # noqa: E402

HOST_KEY = r"HKCU\Software\Velmora\TelvaneHost"


class HostReboot(unittest.TestCase):
    def setUp(self):
        self.prefix = tempfile.mkdtemp(prefix="telvane-reboot-prefix-")
        os.environ["TELVANE_WINEPREFIX"] = self.prefix
        t.wine("wineboot", "-i", env={"WINEDLLOVERRIDES": "mscoree,mshtml="}, timeout=300)
        self.port = t.free_port()
        t.reg_set(HOST_KEY + r"\Host", "Listening_Port", "REG_DWORD", self.port)
        self.host = t.SimulatedHost("entry Ringwell dial_ms=100\r\n").start()

    def tearDown(self):
        self.host.cleanup()
        subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=self.prefix), timeout=60)
        del os.environ["TELVANE_WINEPREFIX"]
        shutil.rmtree(self.prefix, ignore_errors=True)

    def test_reboot_with_two_clients_one_of_them_a_user(self):
        user = t.connect_when_listening(self.port)
        user.send(t.CONNECT_REQUEST)
        self.assertEqual(t.names(user.receive(1)), ["DialupEstablished"])
        other = t.Peer(self.port)
        other.send(t.PING)
        self.assertEqual(t.names(other.receive(2)), ["Ping", "LineOnLine"])

        other.send(t.REBOOT_REQUEST)
        # The user hears it once before its connection closes and once from the hang-up
        # broadcast (sent to a closed connection, so it may be lost); the other once.
        self.assertEqual(t.names(other.receive(1)), ["LineOffLine"])
        self.assertEqual(t.names(user.receive(1)), ["LineOffLine"])
        self.assertTrue(other.closed_by_peer(10), "the requester's connection stayed open")
        self.assertTrue(user.closed_by_peer(10), "the user's connection stayed open")
        self.assertTrue(self.host.calls("hangup"), "the line was not hung up")
        # The restart ends the host with everything else of its prefix.
        t.wait_until(lambda: not self.host.running(), 60, what="the restart to end the host")
        log = [text for _, text in self.host.status_log("TelvaneHost")]
        self.assertIn("Server reboot requested", log)
        self.assertEqual(log[-1], "About to reboot server")
        self.assertLess(log.index("Server reboot requested"), log.index("Disconnected from connection: Ringwell"))
        # Nobody can connect any more: the listener was closed first.
        with self.assertRaises(OSError):
            t.Peer(self.port, timeout=2)


if __name__ == "__main__":
    unittest.main(verbosity=2)
