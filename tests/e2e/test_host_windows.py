"""TelvaneHost's tray menu, dialogs and settings under Wine, driven like a user would
through their windows (tests/tools/winctl.cpp), with screenshots kept as test artifacts.
The dial-up line simulator stands in for the phone book."""
import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import telvane as t  # noqa: E402

HOST_KEY = r"HKCU\Software\Velmora\TelvaneHost"
FRAME = "TelvaneHostFrame"
WM_RBUTTONUP = 0x205
WM_LBUTTONUP = 0x202
WM_CANCELMODE = 0x1F
ID_APP_ABOUT, ID_VIEW_STATUS, ID_VIEW_CLIENTS, ID_APP_EXIT, ID_CONFIGURATION = 32771, 32772, 32773, 32776, 32777


class HostWindows(unittest.TestCase):
    def setUp(self):
        self.port = t.free_port()
        t.reg_delete_key(HOST_KEY)
        t.reg_set(HOST_KEY + r"\Host", "Listening_Port", "REG_DWORD", self.port)
        self.host = t.SimulatedHost("").start()
        self.peer = t.connect_when_listening(self.port)

    def tearDown(self):
        self.peer.close()
        self.host.cleanup()
        t.reg_delete_key(HOST_KEY)

    def open_dialog(self, command, caption):
        self.assertEqual(t.winctl("command", FRAME, command)[0], 0)
        self.assertEqual(t.winctl("wait", caption, 10000)[0], 0, "no window %r" % caption)

    def close_dialog(self, caption, button=1):
        t.winctl("press", caption, button)
        self.assertEqual(t.winctl("gone", caption, 10000)[0], 0, "%r stayed open" % caption)

    def test_tray_menu_shows_on_right_button_release_only(self):
        t.winctl("message", FRAME, 1025, 0, WM_LBUTTONUP)
        time.sleep(0.5)
        t.screenshot("host-tray-left-click")
        t.winctl("message", FRAME, 1025, 0, WM_RBUTTONUP)
        time.sleep(1.0)
        t.screenshot("host-tray-menu-idle")
        t.winctl("message", FRAME, WM_CANCELMODE, 0, 0)
        # The host still answers while and after its menu was up.
        self.peer.send(t.PING)
        self.assertEqual(t.names(self.peer.receive(2)), ["Ping", "LineOffLine"])

    def test_the_tray_icon_comes_back_when_the_taskbar_is_created_again(self):
        self.assertEqual(t.winctl("tray", FRAME, "exists")[0], 0, "no tray icon after start")
        # The taskbar goes away with our icon (Explorer ended) and comes back.
        self.assertEqual(t.winctl("tray", FRAME, "delete")[0], 0)
        self.assertNotEqual(t.winctl("tray", FRAME, "exists")[0], 0)
        self.assertEqual(t.winctl("taskbar-created", FRAME)[0], 0)
        t.wait_until(lambda: t.winctl("tray", FRAME, "exists")[0] == 0, 10, what="the icon to come back")
        # ...and still calls the host back.
        t.winctl("message", FRAME, 1025, 0, WM_RBUTTONUP)
        time.sleep(1.0)
        t.screenshot("host-tray-menu-after-taskbar-restart")
        t.winctl("message", FRAME, WM_CANCELMODE, 0, 0)

    def test_about_box_shows_the_cut_revision_keywords(self):
        self.open_dialog(ID_APP_ABOUT, "About TelvaneHost")
        texts = t.dialog_texts("About TelvaneHost")
        self.assertEqual(texts[1008], "TelvaneHost_4_3_4 ")
        self.assertEqual(texts[1009], "2002/11/12 21:29:16 ")
        t.screenshot("host-about")
        self.close_dialog("About TelvaneHost")

    def test_status_and_clients_dialogs_open_and_close(self):
        self.peer.send(t.PING)
        self.peer.receive(2)
        self.open_dialog(ID_VIEW_STATUS, "Status")
        texts = t.dialog_texts("Status")
        self.assertIn("Status...", texts.all)
        t.screenshot("host-status")
        self.close_dialog("Status")
        self.open_dialog(ID_VIEW_CLIENTS, "Connected Clients")
        self.assertIn("Connected Clients...", t.dialog_texts("Connected Clients").all)
        t.screenshot("host-clients")
        self.close_dialog("Connected Clients")

    def open_configuration(self, expect_empty_box=False):
        t.winctl("command", FRAME, ID_CONFIGURATION)
        if expect_empty_box:
            self.assertEqual(t.winctl("wait", "TelvaneHost", 10000)[0], 0, "no message box")
            self.assertIn("No entries available in default phone book", t.dialog_texts("TelvaneHost").all)
            t.screenshot("host-configuration-empty-phone-book")
            t.winctl("press", "TelvaneHost", 1)
        self.assertEqual(t.winctl("wait", "Configuration...", 10000)[0], 0)
        # The edits are filled once the phone book has been listed.
        return t.wait_until(lambda: (lambda texts: texts if texts.get(1002) else None)(
            t.dialog_texts("Configuration...")), 10, what="the filled Configuration dialog")

    def test_configuration_with_an_empty_phone_book_and_a_port_typed_as_text(self):
        texts = self.open_configuration(expect_empty_box=True)
        self.assertEqual(texts[1002], str(self.port))
        self.assertEqual(texts[1004], "Username")
        self.assertIn("TelvaneHost must be restarted in order for these changes to take effect", texts.all)
        self.assertEqual(t.winctl("combo", "Configuration...", 1006)[1].strip(), "")
        t.winctl("type", "Configuration...", 1002, "abc")
        self.close_dialog("Configuration...")
        # The settings are stored right after the dialog has closed.
        t.wait_until(lambda: t.reg_query(HOST_KEY + r"\Host", "Dialup_Connection") is not None, 10,
                     what="the settings to be stored")
        self.assertEqual(t.reg_query(HOST_KEY + r"\Host", "Listening_Port"), "0x0")
        self.assertEqual(t.reg_query(HOST_KEY + r"\Host", "Dialup_Connection"), "")
        # Untouched fields are not written.
        self.assertIsNone(t.reg_query(HOST_KEY + r"\User", "Username"))
        # The running host keeps its port until it is started again.
        self.peer.send(t.PING)
        self.assertEqual(t.names(self.peer.receive(2)), ["Ping", "LineOffLine"])

    def test_configuration_lists_the_phone_book_and_a_new_user_name_is_used_at_the_next_dial(self):
        self.host.set_script("entry Zeta dial_ms=50\r\nentry ringwell dial_ms=50\r\nentry Alpha dial_ms=50\r\n")
        self.open_configuration()
        self.assertEqual(t.winctl("combo", "Configuration...", 1006)[1].split(), ["Zeta", "ringwell", "Alpha"])
        # The configured "Ringwell" selects the entry that begins with it, whatever its case.
        self.assertEqual(t.dialog_texts("Configuration...")[1006], "ringwell")
        t.screenshot("host-configuration")
        t.winctl("type", "Configuration...", 1004, "alice")
        self.close_dialog("Configuration...")
        t.wait_until(lambda: t.reg_query(HOST_KEY + r"\User", "Username") is not None, 10,
                     what="the settings to be stored")
        self.assertEqual(t.reg_query(HOST_KEY + r"\Host", "Dialup_Connection"), "ringwell")
        self.assertEqual(t.reg_query(HOST_KEY + r"\User", "Username"), "alice")
        self.assertIsNone(t.reg_query(HOST_KEY + r"\User", "Password"))
        self.peer.send(t.CONNECT_REQUEST)
        self.assertEqual(t.names(self.peer.receive(1)), ["DialupEstablished"])
        dial = self.host.calls("dial")[-1]
        self.assertEqual((dial["entry"], dial["user"], dial["password"]), ("ringwell", "alice", "Kelmabot"))
        # With the line up, the tray menu offers Hang Up.
        t.winctl("message", FRAME, 1025, 0, WM_RBUTTONUP)
        time.sleep(1.0)
        t.screenshot("host-tray-menu-line-up")
        t.winctl("message", FRAME, WM_CANCELMODE, 0, 0)
        self.open_dialog(ID_VIEW_CLIENTS, "Connected Clients")
        t.screenshot("host-clients-one-user")
        self.close_dialog("Connected Clients")

    def test_cancel_stores_nothing(self):
        self.open_configuration(expect_empty_box=True)
        t.winctl("type", "Configuration...", 1004, "somebody")
        self.close_dialog("Configuration...", button=2)
        time.sleep(1.0)
        self.assertIsNone(t.reg_query(HOST_KEY + r"\User", "Username"))
        self.assertIsNone(t.reg_query(HOST_KEY + r"\Host", "Dialup_Connection"))

    def test_exit_hangs_up_and_ends_the_program(self):
        self.host.set_script("entry Ringwell dial_ms=50\r\n")
        self.peer.send(t.CONNECT_REQUEST)
        self.assertEqual(t.names(self.peer.receive(1)), ["DialupEstablished"])
        t.winctl("command", FRAME, ID_APP_EXIT)
        self.assertEqual(t.names(self.peer.receive(1)), ["LineOffLine"])
        t.wait_until(lambda: not self.host.running(), 15, what="the host to end")
        self.assertTrue(self.peer.closed_by_peer(5))
        self.assertTrue(self.host.calls("hangup"))


class HostFirstStart(unittest.TestCase):
    """A fresh account: no settings at all."""

    def test_listens_on_1020_and_dials_ringwell_as_username_kelmabot(self):
        t.reg_delete_key(HOST_KEY)
        host = t.SimulatedHost("entry Ringwell dial_ms=50\r\n").start()
        try:
            peer = t.connect_when_listening(1020)
            peer.send(t.CONNECT_REQUEST)
            self.assertEqual(t.names(peer.receive(1)), ["DialupEstablished"])
            dial = host.calls("dial")[-1]
            self.assertEqual((dial["entry"], dial["user"], dial["password"]), ("Ringwell", "Username", "Kelmabot"))
            self.assertIn((2, "Host initialised, clients can connect on port 1020"), host.status_log("TelvaneHost"))
            # Nothing is written at start-up.
            self.assertIsNone(t.reg_query(HOST_KEY + r"\Host", "Listening_Port"))
            peer.close()
        finally:
            host.cleanup()

    def test_a_port_that_cannot_be_bound_still_starts_the_host(self):
        blocker = __import__("socket").socket()
        blocker.bind(("0.0.0.0", 0))
        blocker.listen(1)
        port = blocker.getsockname()[1]
        t.reg_delete_key(HOST_KEY)
        t.reg_set(HOST_KEY + r"\Host", "Listening_Port", "REG_DWORD", port)
        host = t.SimulatedHost("").start()
        try:
            t.wait_until(lambda: host.status_log("TelvaneHost"), 20, what="the first log line")
            self.assertEqual(host.status_log("TelvaneHost")[0],
                             (2, "Host initialised, clients can connect on port %d" % port))
            self.assertTrue(host.running())
        finally:
            host.cleanup()
            blocker.close()
            t.reg_delete_key(HOST_KEY)


class HostOnOlderWindows(unittest.TestCase):
    """Wine reporting Windows 95 or NT 4 to the host alone (its AppDefaults key)."""

    def test_serves_clients_through_a_window_those_systems_have(self):
        key = r"HKCU\Software\Wine\AppDefaults\TelvaneHost.exe"
        for version in ("win95", "nt40"):
            with self.subTest(version=version):
                port = t.free_port()
                t.reg_delete_key(HOST_KEY)
                t.reg_set(HOST_KEY + r"\Host", "Listening_Port", "REG_DWORD", port)
                t.reg_set(key, "Version", "REG_SZ", version)
                host = t.SimulatedHost("entry Ringwell dial_ms=50\r\n").start()
                try:
                    peer = t.connect_when_listening(port)
                    peer.send(t.PING)
                    self.assertEqual(t.names(peer.receive(2)), ["Ping", "LineOffLine"])
                    peer.send(t.CONNECT_REQUEST)
                    self.assertEqual(t.names(peer.receive(1)), ["DialupEstablished"])
                    # The socket events arrive at a hidden top-level window. A message-only
                    # window, which those systems cannot create, would not be found here.
                    self.assertEqual(t.winctl("message", "TelvaneSocketNotify", 0, 0, 0)[0], 0,
                                     "no top-level socket window")
                    peer.close()
                finally:
                    host.cleanup()
                    t.reg_delete_key(key)
                    t.reg_delete_key(HOST_KEY)


if __name__ == "__main__":
    unittest.main(verbosity=2)
