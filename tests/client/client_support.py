"""Helpers for the client's end-to-end tests: the client under Wine with its settings
pointed at loopback, a scripted host made of plain sockets, and readers of what the
client writes to its debug output (status log, tray picture and tooltip, line state,
tray menu state)."""
import os
import re
import socket
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import telvane as t  # noqa: E402

CLIENT_KEY = r"HKCU\Software\Velmora\TelvaneClient"
FRAME = "TelvaneClientFrame"
WM_RBUTTONUP = 0x205
WM_CANCELMODE = 0x1F
ID_APP_ABOUT, ID_VIEW_STATUS, ID_CONNECT, ID_DISCONNECT, ID_PHONE = 32771, 32772, 32773, 32774, 32775
ID_APP_EXIT, ID_CONFIGURATION, ID_SERVER_REBOOT, ID_VOICE_LINE = 32776, 32777, 32778, 32779
NO_HOST, OFF_LINE, ON_LINE, PHONE_IN_USE, CONNECTED = 137, 136, 135, 132, 134

TRACE = re.compile(r"^TelvaneClient tray (\d+) (\w+): (.*)$")
STATE = re.compile(r"^TelvaneClient state (\w+)$")
MENU = re.compile(r"^TelvaneClient menu (\w+) connect=(\d) disconnect=(\d) phone=(\d) text=(.*)$")


def configure_client(port, address=t.LOOPBACK):
    """Fresh client settings: the host is at address (never anything but loopback or a
    name that cannot be resolved without asking the network) and port."""
    t.reg_delete_key(CLIENT_KEY)
    for name, kind, data in (("Address", "REG_SZ", address), ("Port", "REG_DWORD", port)):
        # `reg add` now and then fails once while the prefix's server is busy; it is tried again.
        for attempt in range(3):
            try:
                t.reg_set(CLIENT_KEY + r"\Host", name, kind, data)
                break
            except RuntimeError:
                if attempt == 2:
                    raise
                time.sleep(0.5)


class Client(t.Program):
    """TelvaneClient.exe with Tools.dll beside it and its debug output recorded."""

    SAFE_ADDRESSES = (t.LOOPBACK, "a..b")

    def __init__(self, prefix_env=None):
        super().__init__("TelvaneClient.exe", extra_files=[os.path.join(t.BIN, "Tools.dll")],
                         debug_channels="-all,+debugstr")
        self.prefix_env = prefix_env or {}

    def start(self, *args):
        # The default host address is a real LAN address: a client is never started
        # before its settings point at loopback.
        if not self.prefix_env:
            address = t.reg_query(CLIENT_KEY + r"\Host", "Address")
            assert address in self.SAFE_ADDRESSES, "client settings not pointed at loopback: %r" % address
        saved = {k: os.environ.get(k) for k in self.prefix_env}
        os.environ.update(self.prefix_env)
        try:
            return super().start(*args)
        finally:
            for k, v in saved.items():
                if v is None:
                    os.environ.pop(k, None)
                else:
                    os.environ[k] = v

    def log(self):
        return self.status_log("TelvaneClient")

    def texts(self):
        return [text for _, text in self.log()]

    def tray(self):
        """Every tray change as (picture, state, tooltip), in order."""
        out = []
        for line in self.debug_output():
            m = TRACE.match(line)
            if m:
                out.append((int(m.group(1)), m.group(2), m.group(3)))
        return out

    def states(self):
        return [m.group(1) for m in (STATE.match(line) for line in self.debug_output()) if m]

    def menus(self):
        out = []
        for line in self.debug_output():
            m = MENU.match(line)
            if m:
                out.append((m.group(1), int(m.group(2)), int(m.group(3)), int(m.group(4)), m.group(5)))
        return out

    def wait_log(self, text, count=1, timeout=15):
        t.wait_until(lambda: self.texts().count(text) >= count, timeout, what="log line %r x%d" % (text, count))

    def wait_tray(self, picture, tooltip, timeout=15):
        t.wait_until(lambda: self.tray() and self.tray()[-1][0] == picture and self.tray()[-1][2] == tooltip,
                     timeout, what="tray %d %r (last %r)" % (picture, tooltip, (self.tray() or [None])[-1]))

    def window(self):
        for line in self.debug_output():
            if line.startswith("TelvaneClient window "):
                return line.split()[-1]
        return None

    def command(self, command_id):
        """A menu command posted to this client's own window."""
        hwnd = t.wait_until(self.window, 20, what="the client's window")
        result = t.wine(os.path.join(t.BIN, "clientctl.exe"), "command", hwnd, str(command_id), check=False,
                        env=self.prefix_env)
        assert result.returncode == 0, "no client window for command %d" % command_id


def winctl_in(env, *args, timeout=30):
    """winctl in the shared prefix, or in the prefix that env names."""
    if not env:
        return t.winctl(*args, timeout=timeout)
    result = t.wine(os.path.join(t.BIN, "winctl.exe"), *[str(a) for a in args], env=env, timeout=timeout,
                    check=False)
    return result.returncode, result.stdout.decode("latin-1")


class HostSide(t.Peer):
    """The host's end of one accepted client connection."""

    def __init__(self, sock):
        self.sock = sock
        self.sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        self.buffer = b""


class ScriptedHost:
    """A listening socket on loopback that stands in for TelvaneHost: a test accepts the
    client's connections and plays the host's side by hand."""

    def __init__(self, port=None):
        self.port = port or t.free_port()
        self.listener = None
        self.listen()

    def listen(self):
        self.listener = socket.socket()
        self.listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.listener.bind((t.LOOPBACK, self.port))
        self.listener.listen(5)

    def stop_listening(self):
        if self.listener:
            self.listener.close()
            self.listener = None

    def accept(self, timeout=20):
        self.listener.settimeout(timeout)
        try:
            sock, _ = self.listener.accept()
        except socket.timeout:
            raise AssertionError("the client did not connect within %.0f s" % timeout)
        return HostSide(sock)

    def no_connection_for(self, seconds):
        self.listener.settimeout(seconds)
        try:
            sock, _ = self.listener.accept()
        except socket.timeout:
            return True
        sock.close()
        return False

    def close(self):
        self.stop_listening()


def open_tray_menu_and_shoot(name, env=None):
    """Opens the tray menu the way the shell does it, saves a screenshot, closes it."""
    winctl_in(env, "message", FRAME, 1025, 0, WM_RBUTTONUP)
    time.sleep(1.0)
    path = t.screenshot(name)
    winctl_in(env, "message", FRAME, WM_CANCELMODE, 0, 0)
    time.sleep(0.3)
    return path
