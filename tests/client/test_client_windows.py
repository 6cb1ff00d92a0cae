"""TelvaneClient's dialogs under Wine, opened from its tray commands and driven like a user
would (tests/tools/winctl.cpp), with screenshots kept as test artifacts."""
import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from client_support import (ID_APP_ABOUT, ID_CONFIGURATION, ID_VIEW_STATUS, CLIENT_KEY, Client,  # noqa: E402
                            ScriptedHost, configure_client, t)


class ClientDialogs(unittest.TestCase):
    def setUp(self):
        self.host = ScriptedHost()
        configure_client(self.host.port)
        self.client = Client().start()
        self.conn = self.host.accept()
        self.conn.receive(1)
        self.conn.send(t.PING, t.LINE_OFF_LINE)
        self.client.wait_log("The proxy is disconnected")

    def tearDown(self):
        self.client.cleanup()
        self.conn.close()
        self.host.close()
        t.reg_delete_key(CLIENT_KEY)

    def open_dialog(self, command, caption):
        self.client.command(command)
        self.assertEqual(t.winctl("wait", caption, 10000)[0], 0, "no window %r" % caption)
        return t.dialog_texts(caption)

    def close_dialog(self, caption, button=1):
        t.winctl("press", caption, button)
        self.assertEqual(t.winctl("gone", caption, 10000)[0], 0, "%r stayed open" % caption)

    def test_about_and_status(self):
        texts = self.open_dialog(ID_APP_ABOUT, "About Telvane Client")
        self.assertEqual(texts[1007], "TelvaneClient_4_3_4 ")
        self.assertEqual(texts[1009], "2002/11/12 21:27:37 ")
        t.screenshot("client-about")
        self.close_dialog("About Telvane Client")
        texts = self.open_dialog(ID_VIEW_STATUS, "Status")
        self.assertIn("Status...", texts.all)
        self.assertIn(1002, texts)
        t.screenshot("client-status")
        self.close_dialog("Status")

    def test_configuration_writes_only_what_was_typed_and_the_running_client_keeps_its_host(self):
        # The settings were read at start; from here on only the dialog writes them.
        t.reg_delete_key(CLIENT_KEY)
        texts = self.open_dialog(ID_CONFIGURATION, "Configuration")
        self.assertEqual((texts[1003], texts[1004]), (t.LOOPBACK, str(self.host.port)))
        self.assertIn("TelvaneClient must be restarted in order for these settings to take effect.", texts.all)
        t.screenshot("client-configuration")
        self.close_dialog("Configuration")
        # The dialog's window goes before its handler has run to the end.
        time.sleep(2.0)
        self.assertIsNone(t.reg_query(CLIENT_KEY + r"\Host", "Address"))
        self.assertIsNone(t.reg_query(CLIENT_KEY + r"\Host", "Port"))

        for button, address, port in ((2, None, None), (1, "a..b", "0x0")):
            with self.subTest(button=button):
                self.open_dialog(ID_CONFIGURATION, "Configuration")
                t.winctl("type", "Configuration", 1003, "a..b")
                t.winctl("type", "Configuration", 1004, "abc")
                self.close_dialog("Configuration", button)
                if address is None:
                    time.sleep(2.0)
                else:
                    t.wait_until(lambda: t.reg_query(CLIENT_KEY + r"\Host", "Address") is not None, 10,
                                 what="the address to be stored")
                self.assertEqual(t.reg_query(CLIENT_KEY + r"\Host", "Address"), address)
                self.assertEqual(t.reg_query(CLIENT_KEY + r"\Host", "Port"), port)
        # The dialog shows the stored values the next time.
        texts = self.open_dialog(ID_CONFIGURATION, "Configuration")
        self.assertEqual((texts[1003], texts[1004]), ("a..b", "0"))
        self.close_dialog("Configuration", 2)
        # The running client still reconnects to the host it started with.
        self.conn.close()
        self.conn = self.host.accept(timeout=5)
        self.assertEqual(self.conn.receive(1), [t.PING])


if __name__ == "__main__":
    unittest.main(verbosity=2)
