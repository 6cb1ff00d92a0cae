"""TelvaneClient.exe under Wine against a scripted host made of plain Python sockets on
loopback: the ping, every host code, the commands, the dial-wait animation, reconnection,
failure reports and hostile input."""
import os
import re
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from client_support import (CONNECTED, ID_CONNECT, ID_DISCONNECT, ID_PHONE, ID_SERVER_REBOOT, ID_VOICE_LINE,  # noqa: E402
                            NO_HOST, OFF_LINE, ON_LINE, PHONE_IN_USE, CLIENT_KEY, Client, ScriptedHost,
                            configure_client, open_tray_menu_and_shoot, t)

CYCLE = {OFF_LINE: ON_LINE, NO_HOST: ON_LINE, ON_LINE: CONNECTED, CONNECTED: OFF_LINE}


class WithScriptedHost(unittest.TestCase):
    def setUp(self):
        self.host = ScriptedHost()
        configure_client(self.host.port)
        self.client = Client().start()
        self.conn = self.host.accept()
        self.assertEqual(t.names(self.conn.receive(1)), ["Ping"])
        # The client logs the ping just after sending it: every test starts once that is done.
        self.client.wait_log("Connected to remote socket. Sending Ping message")

    def tearDown(self):
        self.client.cleanup()
        self.conn.close()
        self.host.close()
        t.reg_delete_key(CLIENT_KEY)

    def assert_cycles(self, pictures):
        """Each picture is the animation's step from the one before."""
        for before, after in zip(pictures, pictures[1:]):
            self.assertEqual(CYCLE.get(before), after, "animation went %d -> %d in %s" % (before, after, pictures))

    def test_ping_once_then_every_host_code_gives_its_state_icon_and_tooltip(self):
        self.conn.send(t.PING)
        self.client.wait_log("Received Ping response")
        self.client.wait_log("Connected to server localhost on port %d" % self.host.port)
        self.assertEqual(self.client.log()[:3], [(1, "Connected to remote socket. Sending Ping message"),
                                                 (0, "Received Ping response"),
                                                 (2, "Connected to server localhost on port %d" % self.host.port)])
        # code, log line, picture, state afterwards, tooltip
        cases = [
            (t.LINE_OFF_LINE, "The proxy is disconnected", OFF_LINE, "OffLine", "Off-line"),
            (t.LINE_ON_LINE, "Proxy is on-line", ON_LINE, "OnLine", "On-line"),
            (t.DIALUP_ESTABLISHED, "Successfully established dial-up connection", CONNECTED, "Connected", "Connected"),
            (t.LINE_PHONE_IN_USE, "The telephone line is in use for voice traffic", PHONE_IN_USE, "PhoneInUse",
             "Phone in use"),
            (t.LINE_ON_LINE, "Proxy is on-line", ON_LINE, "OnLine", "On-line"),
            # A failed dial shows the off-line picture but leaves the state the host reported.
            (t.CONNECT_FAILED, "Failed to establish a dial-up connection", OFF_LINE, "OnLine", "Off-line"),
        ]
        for code, text, picture, state, tooltip in cases:
            with self.subTest(code=t.NAMES[code]):
                count = self.client.texts().count(text)
                self.conn.send(code)
                self.client.wait_log(text, count + 1)
                self.assertEqual(self.client.log()[-1], (0, text))
                self.client.wait_tray(picture, tooltip)
                self.assertEqual(self.client.tray()[-1], (picture, state, tooltip))
                self.assertEqual(self.client.states()[-1], state)
        # HangUpFailed is only logged; VoiceLineRequest is not logged at all.
        tray_before = self.client.tray()
        self.conn.send(t.HANG_UP_FAILED)
        self.client.wait_log("Failed to disconnect dial-up connection")
        self.assertEqual(self.client.tray(), tray_before)
        self.assertEqual(self.client.states()[-1], "OnLine")
        # The client pinged once on this connection and never again.
        self.assertEqual(self.conn.silent_for(1.0), [])

    def test_commands_send_their_codes_and_log_them(self):
        for command, code, text in ((ID_DISCONNECT, t.DISCONNECT_REQUEST, "Sent disconnect request"),
                                    (ID_PHONE, t.PHONE_TOGGLE, "Sent voice line in use notification"),
                                    (ID_VOICE_LINE, t.VOICE_LINE_REQUEST, "Sent voice line request")):
            with self.subTest(text=text):
                self.client.command(command)
                self.assertEqual(self.conn.receive(1), [code])
                self.client.wait_log(text)
                self.assertEqual(self.client.log()[-1], (1, text))
        self.assertEqual(self.client.states(), [])  # commands change no state

    def test_connect_animates_until_the_hosts_answer_and_survives_a_host_that_closes(self):
        self.conn.send(t.LINE_ON_LINE)
        self.client.wait_tray(ON_LINE, "On-line")
        start = len(self.client.tray())
        self.client.command(ID_CONNECT)
        self.assertEqual(self.conn.receive(1), [t.CONNECT_REQUEST])
        self.client.wait_log("Sent connect request to proxy server")
        time.sleep(2.8)
        steps = self.client.tray()[start:]
        self.assertEqual(steps[0], (OFF_LINE, "OnLine", "Off-line"))
        self.assertGreaterEqual(len(steps), 5, steps)  # a step each 500 ms
        self.assert_cycles([p for p, _, _ in steps])
        self.assertTrue(all(tip == "Off-line" for _, _, tip in steps), steps)
        self.assertEqual(self.client.states()[-1], "OnLine")

        # The host goes away during the wait: the animation goes on through the loss.
        self.conn.close()
        self.conn = self.host.accept(timeout=5)
        self.assertEqual(t.names(self.conn.receive(1)), ["Ping"])
        self.client.wait_log("Proxy server closed the connection")
        lost = len(self.client.tray())
        time.sleep(1.6)
        after = self.client.tray()
        self.assertGreater(len(after), lost, "the animation stopped with the connection")
        self.assertIn((NO_HOST, "NoHost", "Cannot locate server"), after[start:])

        # A phone-in-use report stops it and shows the phone.
        self.conn.send(t.LINE_PHONE_IN_USE)
        self.client.wait_tray(PHONE_IN_USE, "Phone in use")
        settled = len(self.client.tray())
        time.sleep(1.5)
        self.assertEqual(len(self.client.tray()), settled, "the animation went on after LinePhoneInUse")

        # Connect again from OnLine: DialupEstablished ends it in Connected.
        self.conn.send(t.LINE_ON_LINE)
        self.client.wait_tray(ON_LINE, "On-line")
        self.client.command(ID_CONNECT)
        self.assertEqual(self.conn.receive(1), [t.CONNECT_REQUEST])
        time.sleep(1.2)
        self.conn.send(t.DIALUP_ESTABLISHED)
        self.client.wait_tray(CONNECTED, "Connected")
        settled = len(self.client.tray())
        time.sleep(1.5)
        self.assertEqual(len(self.client.tray()), settled, "the animation went on after DialupEstablished")
        self.assertEqual(self.client.states()[-1], "Connected")

    def test_voice_line_request_shows_a_system_modal_box_and_logs_nothing(self):
        before = self.client.log()
        self.conn.send(t.VOICE_LINE_REQUEST)
        self.assertEqual(t.winctl("wait", "Voice Line Requested", 10000)[0], 0, "no voice line box")
        texts = t.dialog_texts("Voice Line Requested")
        self.assertIn("Another user wishes to use the phone. Please disconnect at your earliest convenience.",
                      texts.all)
        t.screenshot("client-voice-line-requested")
        # The client keeps working while the box is open.
        self.conn.send(t.LINE_OFF_LINE)
        self.client.wait_tray(OFF_LINE, "Off-line")
        t.winctl("press", "Voice Line Requested", 1)
        self.assertEqual(t.winctl("gone", "Voice Line Requested", 10000)[0], 0)
        self.assertEqual(self.client.log(), before + [(0, "The proxy is disconnected")])

    def test_server_reboot_is_sent_only_after_yes(self):
        for button, sent in ((7, t.VOICE_LINE_REQUEST), (6, t.REBOOT_REQUEST)):  # IDNO, IDYES
            with self.subTest(button=button):
                self.client.command(ID_SERVER_REBOOT)
                self.assertEqual(t.winctl("wait", "Server Reboot?", 10000)[0], 0, "no confirmation box")
                self.assertIn("Are you sure you wish to reboot the server?", t.dialog_texts("Server Reboot?").all)
                if button == 6:
                    t.screenshot("client-server-reboot-question")
                t.winctl("press", "Server Reboot?", button)
                self.assertEqual(t.winctl("gone", "Server Reboot?", 10000)[0], 0)
                # A request sent after the answer arrives first when the answer sent nothing.
                self.client.command(ID_VOICE_LINE)
                self.assertEqual(self.conn.receive(1), [sent])
                if sent == t.REBOOT_REQUEST:
                    self.assertEqual(self.conn.receive(1), [t.VOICE_LINE_REQUEST])
        self.assertEqual(self.client.texts().count("Sent server reboot request"), 1)

    def test_tray_menu_in_each_line_state(self):
        # state code to reach it (None: as connected), menu state read when the menu opens
        cases = [
            (None, ("NoHost", 0, 0, 0, "On The Phone")),
            (t.LINE_OFF_LINE, ("OffLine", 1, 0, 1, "On The Phone")),
            (t.LINE_PHONE_IN_USE, ("PhoneInUse", 0, 0, 1, "Off The Phone")),
            # The phone item keeps its last text until the state is OffLine again.
            (t.LINE_ON_LINE, ("OnLine", 1, 0, 0, "Off The Phone")),
            (t.DIALUP_ESTABLISHED, ("Connected", 0, 1, 0, "Off The Phone")),
            (t.LINE_OFF_LINE, ("OffLine", 1, 0, 1, "On The Phone")),
        ]
        for code, expected in cases:
            with self.subTest(state=expected[0]):
                if code is not None:
                    self.conn.send(code)
                    t.wait_until(lambda: self.client.states()[-1:] == [expected[0]], 10, what=expected[0])
                count = len(self.client.menus())
                open_tray_menu_and_shoot("client-tray-menu-%s-%s" % (expected[0], expected[4].replace(" ", "")))
                t.wait_until(lambda: len(self.client.menus()) > count, 10, what="the menu to open")
                self.assertEqual(self.client.menus()[-1], expected)
        # The menu does not get in the way of the protocol.
        self.conn.send(t.LINE_ON_LINE)
        self.client.wait_tray(ON_LINE, "On-line")


class HostClosing(unittest.TestCase):
    def setUp(self):
        self.host = ScriptedHost()
        configure_client(self.host.port)
        self.client = Client().start()

    def tearDown(self):
        self.client.cleanup()
        self.host.close()
        t.reg_delete_key(CLIENT_KEY)

    def test_reconnects_at_once_and_acts_on_the_units_sent_before_the_close(self):
        conn = self.host.accept()
        self.assertEqual(conn.receive(1), [t.PING])
        conn.send(t.PING, t.LINE_ON_LINE, t.LINE_PHONE_IN_USE)
        conn.close()
        started = time.monotonic()
        conn = self.host.accept(timeout=5)
        self.assertLess(time.monotonic() - started, 3.0, "the reconnection waited for the timer")
        self.assertEqual(conn.receive(1), [t.PING])
        self.client.wait_log("Proxy server closed the connection")
        texts = self.client.texts()
        self.assertLess(texts.index("The telephone line is in use for voice traffic"),
                        texts.index("Proxy server closed the connection"))
        self.assertEqual(self.client.tray()[-1], (NO_HOST, "NoHost", "Cannot locate server"))
        conn.close()

    def test_garbage_half_units_and_a_close_mid_unit_never_reach_the_window(self):
        conn = self.host.accept()
        conn.receive(1)
        # Window messages and the client's own notification numbers, sent as codes.
        hostile = [2, 16, 18, 273, 275, 1025, 1044, 1045, 1046, 1126, 1130, 1224, 1231, 0, -1, 0x7FFFFFFF]
        conn.send(*hostile)
        # A real code split over three writes still counts once.
        for piece in (t.unit(t.LINE_ON_LINE)[:1], t.unit(t.LINE_ON_LINE)[1:3], t.unit(t.LINE_ON_LINE)[3:]):
            conn.send_bytes(piece)
            time.sleep(0.2)
        self.client.wait_tray(ON_LINE, "On-line")
        self.assertEqual(self.client.texts(), ["Connected to remote socket. Sending Ping message", "Proxy is on-line"])
        # Random bytes: the client survives whatever codes they happen to make.
        conn.send_bytes(bytes((i * 37 + 11) % 256 for i in range(4099)))
        time.sleep(1.0)
        self.assertTrue(self.client.running())
        # Half a unit, then the host goes: the half is dropped, the client reconnects.
        conn.send_bytes(t.unit(t.LINE_OFF_LINE)[:2])
        time.sleep(0.3)
        conn.close()
        conn = self.host.accept(timeout=5)
        self.assertEqual(conn.receive(1), [t.PING])
        self.client.wait_log("Proxy server closed the connection")
        # The new connection starts on a whole unit.
        conn.send(t.LINE_PHONE_IN_USE)
        self.client.wait_tray(PHONE_IN_USE, "Phone in use")
        self.assertTrue(self.client.running())
        conn.close()


class WithoutHost(unittest.TestCase):
    def tearDown(self):
        self.client.cleanup()
        t.reg_delete_key(CLIENT_KEY)

    def test_one_failure_report_then_silent_retries_every_five_seconds(self):
        port = t.free_port()
        configure_client(port)
        self.client = Client().start()
        self.client.wait_log("Unable to locate proxy server")
        self.client.wait_tray(NO_HOST, "Cannot locate server")
        first = time.monotonic()
        time.sleep(6.0)  # at least one silent retry
        self.assertEqual(self.client.log(), [(2, "Unable to locate proxy server")])
        host = ScriptedHost(port)
        try:
            listening = time.monotonic()
            conn = host.accept(timeout=8)
            waited = time.monotonic() - listening
            self.assertLess(waited, 5.8, "no retry within 5 s")
            self.assertEqual(conn.receive(1), [t.PING])
            self.assertGreater(time.monotonic() - first, 5.0)
            self.client.wait_log("Connected to remote socket. Sending Ping message")
            # After a success, the next run of failures is reported again.
            host.stop_listening()
            conn.close()
            self.client.wait_log("Proxy server closed the connection")
            self.client.wait_log("Unable to locate proxy server", count=2)
            self.client.wait_tray(NO_HOST, "Cannot locate server")
            time.sleep(5.5)
            self.assertEqual(self.client.texts().count("Unable to locate proxy server"), 2)
        finally:
            host.close()

    def test_an_address_nobody_can_resolve_is_reported_and_the_client_keeps_running(self):
        # "a..b" is no valid name: the resolver refuses it without asking the network.
        configure_client(t.free_port(), address="a..b")
        self.client = Client().start()
        self.client.wait_log("Unable to resolve the server address a..b")
        self.client.wait_tray(NO_HOST, "Cannot locate server")
        time.sleep(6.0)
        self.assertTrue(self.client.running())
        self.assertEqual(self.client.texts(), ["Unable to resolve the server address a..b"])


if __name__ == "__main__":
    unittest.main(verbosity=2)
