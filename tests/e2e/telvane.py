"""Helpers for the end-to-end tests: Wine programs, the registry of the test prefix,
and a raw control-protocol peer over loopback sockets.

Every wait here is bounded: a test that waits for something that never comes fails
after its deadline instead of hanging.
"""
import os
import shutil
import socket
import struct
import subprocess
import tempfile
import time

WINE_RUN = os.environ.get("TELVANE_WINE_RUN", "")
BIN = os.environ.get("TELVANE_BIN", "")
LOOPBACK = "127.0.0.1"

# Control codes, as they travel.
CONNECT_REQUEST = 1126
DISCONNECT_REQUEST = 1127
PHONE_TOGGLE = 1128
PING = 1129
REBOOT_REQUEST = 1130
VOICE_LINE_REQUEST = 1232
DIALUP_ESTABLISHED = 1225
LINE_OFF_LINE = 1226
LINE_ON_LINE = 1227
LINE_PHONE_IN_USE = 1228
CONNECT_FAILED = 1229
HANG_UP_FAILED = 1230

NAMES = {
    1126: "ConnectRequest", 1127: "DisconnectRequest", 1128: "PhoneToggle", 1129: "Ping",
    1130: "RebootRequest", 1232: "VoiceLineRequest", 1225: "DialupEstablished",
    1226: "LineOffLine", 1227: "LineOnLine", 1228: "LinePhoneInUse", 1229: "ConnectFailed",
    1230: "HangUpFailed",
}


def names(codes):
    return [NAMES.get(c, str(c)) for c in codes]


def unit(code):
    return struct.pack("<i", code)


def wine(*args, env=None, timeout=60, check=True):
    """Runs a Windows program to its end under the test session's Wine."""
    full_env = dict(os.environ)
    if env:
        full_env.update(env)
    # Output goes through files, not pipes: a Wine server started by this program would keep
    # a pipe open long after the program itself has ended.
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        completed = subprocess.run([WINE_RUN, *args], env=full_env, timeout=timeout,
                                   stdout=out, stderr=err, stdin=subprocess.DEVNULL)
        out.seek(0)
        err.seek(0)
        result = subprocess.CompletedProcess(completed.args, completed.returncode, out.read(), err.read())
    if check and result.returncode != 0:
        raise RuntimeError("%s failed (%d): %s" % (args, result.returncode, result.stderr.decode(errors="replace")))
    return result


def reg_set(key, name, kind, data):
    """Writes one value into the test prefix's registry (kind: REG_SZ, REG_DWORD)."""
    wine("reg", "add", key, "/v", name, "/t", kind, "/d", str(data), "/f")


def reg_delete_key(key):
    wine("reg", "delete", key, "/f", check=False)


def reg_query(key, name):
    """The value's data as `reg query` prints it, or None when it is missing."""
    result = wine("reg", "query", key, "/v", name, check=False)
    if result.returncode != 0:
        return None
    for line in result.stdout.decode(errors="replace").splitlines():
        parts = line.split(None, 2)
        if len(parts) >= 2 and parts[0] == name and parts[1].startswith("REG_"):
            return parts[2].strip() if len(parts) == 3 else ""
    return None


def free_port():
    with socket.socket() as s:
        s.bind((LOOPBACK, 0))
        return s.getsockname()[1]


def wait_until(predicate, timeout, interval=0.1, what="condition"):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(interval)
    raise AssertionError("timed out after %.1f s waiting for %s" % (timeout, what))


def unix_to_wine_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Program:
    """One Windows program started under Wine from a folder of its own.

    The program's files are copied into a fresh folder, so a test can put a DLL of its
    own beside it (the dial-up simulator) without touching the build.
    """

    def __init__(self, exe, extra_files=(), dll_overrides="", debug_channels=""):
        self.folder = tempfile.mkdtemp(prefix="telvane-")
        for path in (os.path.join(BIN, exe), *extra_files):
            shutil.copy(path, self.folder)
        self.exe = os.path.join(self.folder, os.path.basename(exe))
        self.dll_overrides = dll_overrides
        self.debug_channels = debug_channels
        self.process = None
        self.stderr_path = os.path.join(self.folder, "stderr.txt")

    def path(self, name):
        return os.path.join(self.folder, name)

    def start(self, *args):
        env = dict(os.environ)
        if self.dll_overrides:
            env["TELVANE_DLLOVERRIDES"] = self.dll_overrides
        if self.debug_channels:
            env["TELVANE_WINEDEBUG"] = self.debug_channels
        self._stderr = open(self.stderr_path, "wb")
        self.process = subprocess.Popen([WINE_RUN, self.exe, *args], cwd=self.folder, env=env,
                                        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=self._stderr)
        return self

    def running(self):
        return self.process is not None and self.process.poll() is None

    def debug_output(self):
        """The lines the program wrote with OutputDebugString, in order."""
        try:
            with open(self.stderr_path, "rb") as f:
                text = f.read().decode("latin-1")
        except FileNotFoundError:
            return []
        lines = []
        for line in text.splitlines():
            marker = "OutputDebugStringA "
            at = line.find(marker)
            if at < 0 or ":debugstr:" not in line:
                continue
            quoted = line[at + len(marker):].strip()
            if quoted.startswith('"') and quoted.endswith('"'):
                quoted = quoted[1:-1]
            lines.append(quoted.replace("\\n", "").replace('\\"', '"').replace("\\\\", "\\"))
        return lines

    def status_log(self, program):
        """The program's status log lines as (kind, text), from its debug output."""
        prefix = program + " status "
        entries = []
        for line in self.debug_output():
            if line.startswith(prefix):
                kind, _, text = line[len(prefix):].partition(": ")
                entries.append((int(kind), text))
        return entries

    def stop(self, timeout=10):
        if self.process is None:
            return
        if self.process.poll() is None:
            self.process.kill()
            try:
                self.process.wait(timeout)
            except subprocess.TimeoutExpired:
                pass
        self._stderr.close()

    def cleanup(self):
        self.stop()
        shutil.rmtree(self.folder, ignore_errors=True)


class Peer:
    """A raw control-protocol peer: plain sockets, not our code."""

    def __init__(self, port, timeout=15):
        self.sock = socket.create_connection((LOOPBACK, port), timeout=timeout)
        self.sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        self.buffer = b""

    def send(self, *codes):
        self.sock.sendall(b"".join(unit(c) for c in codes))

    def send_bytes(self, data):
        self.sock.sendall(data)

    def _fill(self, deadline):
        remaining = deadline - time.monotonic()
        if remaining <= 0:
            return False
        self.sock.settimeout(remaining)
        try:
            data = self.sock.recv(4096)
        except socket.timeout:
            return False
        if not data:
            raise EOFError("the host closed the connection")
        self.buffer += data
        return True

    def receive(self, count, timeout=10):
        """Exactly count codes, or an AssertionError naming what did arrive."""
        deadline = time.monotonic() + timeout
        while len(self.buffer) < 4 * count:
            if not self._fill(deadline):
                got = [struct.unpack("<i", self.buffer[i:i + 4])[0] for i in range(0, len(self.buffer) - 3, 4)]
                raise AssertionError("expected %d codes, got %s" % (count, names(got)))
        codes = [struct.unpack("<i", self.buffer[i:i + 4])[0] for i in range(0, 4 * count, 4)]
        self.buffer = self.buffer[4 * count:]
        return codes

    def silent_for(self, seconds):
        """The codes that arrived within seconds (a test expects an empty list)."""
        deadline = time.monotonic() + seconds
        while self._fill(deadline):
            pass
        got = [struct.unpack("<i", self.buffer[i:i + 4])[0] for i in range(0, len(self.buffer) - 3, 4)]
        self.buffer = self.buffer[4 * len(got):]
        return got

    def closed_by_peer(self, timeout=10):
        deadline = time.monotonic() + timeout
        try:
            while self._fill(deadline):
                pass
        except (EOFError, ConnectionResetError):
            return True
        return False

    def close(self):
        self.sock.close()

    def abort(self):
        """Closes with a reset instead of an orderly shutdown."""
        self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        self.sock.close()


def connect_when_listening(port, timeout=30):
    def attempt():
        try:
            return Peer(port)
        except OSError:
            return None
    return wait_until(attempt, timeout, interval=0.2, what="port %d to accept" % port)


def winctl(*args, timeout=30):
    """Runs the window-driving tool (tests/tools/winctl.cpp); returns (exit code, stdout)."""
    result = wine(os.path.join(BIN, "winctl.exe"), *[str(a) for a in args], timeout=timeout, check=False)
    return result.returncode, result.stdout.decode("latin-1")


class DialogTexts(dict):
    """{control id: text} of a dialog's controls; .all holds every text, those of the
    unnumbered labels (id -1) too."""

    def __init__(self):
        super().__init__()
        self.all = []


def dialog_texts(caption):
    code, out = winctl("texts", caption)
    if code != 0:
        raise AssertionError("no window captioned %r" % caption)
    texts = DialogTexts()
    for line in out.splitlines():
        parts = line.rstrip("\r").split("\t", 2)
        if len(parts) == 3:
            texts.setdefault(int(parts[0]), parts[2])
            texts.all.append(parts[2])
    return texts


def artifacts_folder():
    folder = os.path.join(os.path.dirname(BIN), "artifacts")
    os.makedirs(folder, exist_ok=True)
    return folder


def screenshot(name):
    """Saves the whole test display as artifacts/<name>.png; returns its path."""
    session = os.environ["TELVANE_SESSION"]
    with open(os.path.join(session, "display")) as f:
        display = f.read().strip()
    path = os.path.join(artifacts_folder(), name + ".png")
    env = dict(os.environ, DISPLAY=display)
    subprocess.run(["import", "-window", "root", path], env=env, timeout=30, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return path


RASSIM = os.environ.get("TELVANE_RASSIM", "")


class SimulatedHost(Program):
    """TelvaneHost.exe with the dial-up line simulator beside it (tests/rassim)."""

    def __init__(self, script=""):
        super().__init__("TelvaneHost.exe", extra_files=[os.path.join(BIN, "Tools.dll"), RASSIM],
                         dll_overrides="rasapi32=n", debug_channels="-all,+debugstr")
        self.set_script(script)

    def set_script(self, text):
        with open(self.path("rassim.txt"), "w", newline="") as f:
            f.write(text)

    def line_log(self):
        """The simulator's log: one (call, {key: value}) per call, in order."""
        try:
            with open(self.path("rassim.log"), encoding="latin-1") as f:
                lines = f.read().splitlines()
        except FileNotFoundError:
            return []
        import shlex
        calls = []
        for line in lines:
            try:
                words = shlex.split(line)
            except ValueError:
                continue
            if not words:
                continue
            fields = dict(w.split("=", 1) for w in words[1:] if "=" in w)
            calls.append((words[0], fields))
        return calls

    def calls(self, name):
        return [fields for call, fields in self.line_log() if call == name]
