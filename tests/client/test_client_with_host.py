"""Two real TelvaneClient.exe against the real TelvaneHost.exe with the dial-up line
simulator, all on loopback: the line shared end to end, and a host restart that the
clients outlive."""
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from client_support import (CONNECTED, ID_CONNECT, ID_DISCONNECT, ID_PHONE, ID_SERVER_REBOOT, ID_VOICE_LINE,  # noqa: E402
                            OFF_LINE, ON_LINE, PHONE_IN_USE, CLIENT_KEY, Client, configure_client, t)

HOST_KEY = r"HKCU\Software\Velmora\TelvaneHost"
FRAME = "TelvaneClientFrame"


class TwoClientsShareTheLine(unittest.TestCase):
    def setUp(self):
        self.port = t.free_port()
        t.reg_delete_key(HOST_KEY)
        t.reg_set(HOST_KEY + r"\Host", "Listening_Port", "REG_DWORD", self.port)
        self.host = t.SimulatedHost("entry Ringwell dial_ms=400\r\n").start()
        t.connect_when_listening(self.port).close()
        configure_client(self.port)
        self.clients = []

    def tearDown(self):
        for client in self.clients:
            client.cleanup()
        self.host.cleanup()
        t.reg_delete_key(HOST_KEY)
        t.reg_delete_key(CLIENT_KEY)

    def start_client(self):
        client = Client().start()
        self.clients.append(client)
        t.wait_until(lambda: client.states()[-1:] == ["OffLine"], 20, what="the client's first line state")
        self.assertIn("Connected to server localhost on port %d" % self.port, client.texts())
        return client

    def test_connect_phone_voice_line_and_the_last_disconnect(self):
        a = self.start_client()
        a.command(ID_CONNECT)
        a.wait_tray(CONNECTED, "Connected", timeout=15)
        self.assertEqual(a.states()[-1], "Connected")
        self.assertTrue(self.host.calls("dial"))

        b = Client().start()
        self.clients.append(b)
        # B's ping is answered LineOnLine: the line is up, B is not among its users.
        b.wait_tray(ON_LINE, "On-line", timeout=20)
        self.assertEqual(b.states()[-1], "OnLine")

        # Only the users of the line hear a voice-line request: A's own request reaches A.
        a.command(ID_VOICE_LINE)
        self.assertEqual(t.winctl("wait", "Voice Line Requested", 15000)[0], 0, "the user got no voice-line box")
        t.winctl("press", "Voice Line Requested", 1)
        self.assertEqual(t.winctl("gone", "Voice Line Requested", 10000)[0], 0)
        time.sleep(1.5)
        self.assertNotEqual(t.winctl("wait", "Voice Line Requested", 500)[0], 0, "a non-user got the box")
        self.assertIn("Sent voice line request", a.texts())

        # The phone toggle reaches everybody, whoever sends it, and back.
        b.command(ID_PHONE)
        for client in (a, b):
            client.wait_tray(PHONE_IN_USE, "Phone in use")
        a.command(ID_PHONE)
        for client in (a, b):
            client.wait_tray(OFF_LINE, "Off-line")
            self.assertEqual(client.states()[-1], "OffLine")

        # The line is still up: B's Connect is granted at once, without a dial.
        dials = len(self.host.calls("dial"))
        b.command(ID_CONNECT)
        b.wait_tray(CONNECTED, "Connected")
        self.assertEqual(len(self.host.calls("dial")), dials)
        # One of two users leaves: it hears LineOnLine, the line stays up.
        a.command(ID_DISCONNECT)
        a.wait_tray(ON_LINE, "On-line")
        self.assertFalse(self.host.calls("hangup"))
        # The last user's Disconnect hangs up and takes everyone off-line.
        before = {id(c): c.texts().count("The proxy is disconnected") for c in (a, b)}
        b.command(ID_DISCONNECT)
        t.wait_until(lambda: self.host.calls("hangup"), 15, what="the host to hang up")
        for client in (a, b):
            t.wait_until(lambda: client.texts().count("The proxy is disconnected") > before[id(client)], 15,
                         what="LineOffLine after the hang-up")
            # The icon follows the log line within the same handler.
            client.wait_tray(OFF_LINE, "Off-line")
        self.assertEqual((a.texts().count("Sent disconnect request"), b.texts().count("Sent disconnect request")), (1, 1))


class HostRestart(unittest.TestCase):
    """The restart ends every Wine program of the host's prefix, so the host runs in a
    prefix of its own; the client stays in the shared one and watches it go and return."""

    def setUp(self):
        session = os.environ["TELVANE_SESSION"]
        self.prefix = tempfile.mkdtemp(prefix="telvane-reboot-", dir=session)
        shutil.rmtree(self.prefix)
        subprocess.run(["cp", "-a", os.path.join(session, "prefix"), self.prefix], check=True, timeout=120)
        self.env = {"TELVANE_WINEPREFIX": self.prefix}
        self.port = t.free_port()
        t.wine("reg", "add", HOST_KEY + r"\Host", "/v", "Listening_Port", "/t", "REG_DWORD", "/d", str(self.port),
               "/f", env=self.env)
        configure_client(self.port)
        self.host = None
        self.client = None

    def start_host(self):
        saved = os.environ.get("TELVANE_WINEPREFIX")
        os.environ["TELVANE_WINEPREFIX"] = self.prefix
        try:
            self.host = t.SimulatedHost("entry Ringwell dial_ms=200\r\n").start()
        finally:
            if saved is None:
                os.environ.pop("TELVANE_WINEPREFIX")
            else:
                os.environ["TELVANE_WINEPREFIX"] = saved

    def tearDown(self):
        if self.client:
            self.client.cleanup()
        if self.host:
            self.host.cleanup()
        subprocess.run(["env", "WINEPREFIX=" + self.prefix, "wineserver", "-k"], timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        shutil.rmtree(self.prefix, ignore_errors=True)
        t.reg_delete_key(CLIENT_KEY)

    def test_reboot_request_drops_the_client_which_reconnects_when_the_host_is_back(self):
        self.start_host()
        t.connect_when_listening(self.port).close()
        self.client = Client().start()
        t.wait_until(lambda: self.client.states()[-1:] == ["OffLine"], 20, what="the client's line state")
        self.client.command(ID_CONNECT)
        self.client.wait_tray(CONNECTED, "Connected", timeout=40)

        self.client.command(ID_SERVER_REBOOT)
        self.assertEqual(t.winctl("wait", "Server Reboot?", 10000)[0], 0)
        t.winctl("press", "Server Reboot?", 6)
        self.client.wait_log("Sent server reboot request", timeout=20)
        # The host says LineOffLine, closes, and its prefix ends with the restart.
        self.client.wait_log("The proxy is disconnected", count=2, timeout=20)
        self.client.wait_log("Proxy server closed the connection", timeout=20)
        t.wait_until(lambda: not self.host.running(), 60, what="the host to end with its restart")
        self.client.wait_log("Unable to locate proxy server", timeout=20)
        self.assertTrue(self.client.running())
        self.client.wait_tray(137, "Cannot locate server")

        # The host's PC is back: the client finds it at its next retry and pings.
        subprocess.run(["env", "WINEPREFIX=" + self.prefix, "wineserver", "-w"], timeout=60)
        self.host.cleanup()
        self.start_host()
        self.client.wait_log("Connected to remote socket. Sending Ping message", count=2, timeout=30)
        t.wait_until(lambda: self.client.states()[-1:] == ["OffLine"], 15, what="the line state after the restart")
        self.assertEqual(self.client.texts().count("Unable to locate proxy server"), 1)


if __name__ == "__main__":
    unittest.main(verbosity=2)
