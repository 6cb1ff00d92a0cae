"""Shared pieces of the benchmarks: the Wine session in the build tree, the programs under
test, raw control-protocol clients on 127.0.0.1 driven by epoll, and the figures.

Benchmarks are not tests: they assert nothing about time. Every loop here is bounded in
count and in time and ends by itself.
"""
import argparse
import os
import select
import socket
import statistics
import struct
import subprocess
import sys
import time

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
HARNESS = os.path.join(SOURCE, "tests", "harness")
LOOPBACK = "127.0.0.1"

PING = 1129
PHONE_TOGGLE = 1128
LINE_OFF_LINE = 1226
LINE_PHONE_IN_USE = 1228
HOST_KEY = r"HKCU\Software\Velmora\TelvaneHost"


def unit(code):
    return struct.pack("<i", code)


def codes_of(data):
    return [struct.unpack("<i", data[i:i + 4])[0] for i in range(0, len(data) - 3, 4)]


def arguments(description, extra=None):
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("--build", default=os.environ.get("TELVANE_BENCH_BUILD",
                                                          os.path.join(SOURCE, "build-h5", "x86_64")),
                        help="build tree with bin/ (default: %(default)s)")
    parser.add_argument("--before", default=os.environ.get("TELVANE_BENCH_BEFORE", ""),
                        help="bin/ of an older build, measured side by side as 'before'")
    parser.add_argument("--repeat", type=int, default=3, help="runs of each measurement; the median counts")
    if extra:
        extra(parser)
    return parser.parse_args()


class Session:
    """The benchmark's own Wine session (fresh prefix, own Xvfb) in the build tree, or the
    one named by TELVANE_SESSION when a caller (run-all) already started it."""

    def __init__(self, build):
        self.build = os.path.abspath(build)
        self.bin = os.path.join(self.build, "bin")
        self.own = not os.environ.get("TELVANE_SESSION")
        # Each benchmark has a session of its own, so two of them never stop each other's.
        name = os.path.splitext(os.path.basename(sys.argv[0]))[0] or "bench"
        self.folder = os.environ.get("TELVANE_SESSION") or os.path.join(self.build, "bench-session-" + name)
        self.arch = "x86_64" if "x86_64" in self.build or not os.path.exists("/lib/ld-linux.so.2") else "i686"

    def __enter__(self):
        if self.own:
            subprocess.run([os.path.join(HARNESS, "wine-session.sh"), "start", self.folder, self.arch],
                           check=True, timeout=300, stdout=subprocess.DEVNULL)
        os.environ["TELVANE_SESSION"] = self.folder
        os.environ["TELVANE_WINE_RUN"] = os.path.join(HARNESS, "wine-run.sh")
        os.environ["TELVANE_BIN"] = self.bin
        sys.path.insert(0, os.path.join(SOURCE, "tests", "e2e"))
        return self

    def __exit__(self, *exc):
        if self.own:
            subprocess.run([os.path.join(HARNESS, "wine-session.sh"), "stop", self.folder], timeout=60)
            os.environ.pop("TELVANE_SESSION", None)
        return False


def telvane():
    import telvane as t  # the end-to-end tests' helpers: programs, registry, waits
    return t


def free_port():
    with socket.socket() as s:
        s.bind((LOOPBACK, 0))
        return s.getsockname()[1]


def wait_listening(port, timeout=60):
    """Seconds until the port accepts a connection (the probe is closed at once)."""
    start = time.perf_counter()
    deadline = start + timeout
    while time.perf_counter() < deadline:
        try:
            with socket.create_connection((LOOPBACK, port), timeout=2):
                return time.perf_counter() - start
        except OSError:
            time.sleep(0.005)
    raise RuntimeError("port %d never accepted a connection" % port)


class Server:
    """One server under Wine: the host (from a bin/ folder) or the bare server."""

    def __init__(self, kind, bin_folder, port):
        t = telvane()
        self.kind = kind
        self.port = port
        if kind == "bare":
            self.program = t.Program(os.path.join(bin_folder, "BareServer.exe"))
            self.args = [str(port)]
        else:
            t.reg_delete_key(HOST_KEY)
            t.reg_set(HOST_KEY + r"\Host", "Listening_Port", "REG_DWORD", port)
            self.program = t.Program(os.path.join(bin_folder, "TelvaneHost.exe"),
                                     extra_files=[os.path.join(bin_folder, "Tools.dll")])
            self.args = []

    def start(self, attempts=2):
        # On a machine this busy a start can fail to come up; it is tried once more, with the
        # program's own error output shown.
        for attempt in range(attempts):
            self.program.start(*self.args)
            try:
                self.startup = wait_listening(self.port, timeout=90)
                return self
            except RuntimeError:
                self.program.stop()
                with open(self.program.stderr_path, "rb") as f:
                    sys.stderr.write("%s did not listen (attempt %d): %s\n" % (
                        self.kind, attempt + 1, f.read()[-2000:].decode("latin-1")))
                if attempt + 1 == attempts:
                    self.program.cleanup()
                    raise

    def rss_kib(self):
        """Resident memory of the Windows process, in KiB (Wine runs it as this Linux process)."""
        pid = self.program.process.pid
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
        return 0

    def server_rss_kib(self):
        """Resident memory of the prefix's wineserver, in KiB (it holds every socket's
        server side); 0 when it cannot be found."""
        prefix = os.environ.get("WINEPREFIX") or os.path.join(os.environ["TELVANE_SESSION"], "prefix")
        st = os.stat(prefix)
        wanted = "server-%x-%x" % (st.st_dev, st.st_ino)
        for pid in os.listdir("/proc"):
            if not pid.isdigit():
                continue
            try:
                if not os.readlink("/proc/%s/cwd" % pid).endswith(wanted):
                    continue
                with open("/proc/%s/status" % pid) as f:
                    for line in f:
                        if line.startswith("VmRSS:"):
                            return int(line.split()[1])
            except OSError:
                continue
        return 0

    def stop(self):
        self.program.cleanup()


class Clients:
    """N raw control connections, driven together through one epoll set."""

    def __init__(self, port, count, batch=4, timeout=120):
        self.socks = []
        self.epoll = select.epoll()
        self.index = {}
        deadline = time.monotonic() + timeout
        try:
            # The servers listen with a backlog of 5: connect a few at a time, and let each
            # batch be answered (every client pings once when it connects) before the next.
            for first in range(0, count, batch):
                if time.monotonic() > deadline:
                    raise RuntimeError("connecting %d clients took longer than %d s" % (count, timeout))
                group = []
                for _ in range(min(batch, count - first)):
                    s = socket.create_connection((LOOPBACK, port), timeout=30)
                    s.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
                    s.sendall(unit(PING))
                    group.append(s)
                for s in group:
                    self._read_exactly(s, 8, deadline)
                    self.add(s)
        except BaseException:
            self.close()
            raise

    def add(self, s):
        s.setblocking(False)
        self.index[s.fileno()] = len(self.socks)
        self.socks.append(s)
        self.epoll.register(s.fileno(), select.EPOLLIN)

    @staticmethod
    def _read_exactly(s, count, deadline):
        data = b""
        while len(data) < count:
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                raise RuntimeError("no answer within the time limit")
            s.settimeout(remaining)
            part = s.recv(count - len(data))
            if not part:
                raise RuntimeError("connection closed by the server")
            data += part
        return data

    def wait_bytes(self, wanted, timeout=30):
        """Reads until every client i has received wanted[i] bytes; returns the time of the
        last arrival (perf_counter), or raises after timeout."""
        got = [0] * len(self.socks)
        missing = sum(1 for w in wanted if w > 0)
        last = time.perf_counter()
        deadline = time.monotonic() + timeout
        while missing > 0:
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                raise RuntimeError("%d clients still waiting after %d s" % (missing, timeout))
            for fd, _ in self.epoll.poll(remaining):
                i = self.index[fd]
                data = self.socks[i].recv(65536)
                if not data:
                    raise RuntimeError("connection closed by the server")
                before = got[i]
                got[i] += len(data)
                if before < wanted[i] <= got[i]:
                    missing -= 1
                    last = time.perf_counter()
        return last

    def broadcast(self, sender=0, settle=0.0):
        """Seconds from one client's PhoneToggle until every client has the state unit."""
        time.sleep(settle)
        start = time.perf_counter()
        self.socks[sender].send(unit(PHONE_TOGGLE))
        last = self.wait_bytes([4] * len(self.socks))
        return last - start

    def ping(self, who=0, settle=0.0):
        """Round trip of one ping (answer: 8 bytes) while the others stay connected."""
        time.sleep(settle)
        wanted = [0] * len(self.socks)
        wanted[who] = 8
        start = time.perf_counter()
        self.socks[who].send(unit(PING))
        return self.wait_bytes(wanted) - start

    def close(self):
        for s in self.socks:
            s.close()
        self.socks = []
        self.epoll.close()


def median(values):
    return statistics.median(values) if values else float("nan")


def ms(seconds):
    return "%.2f ms" % (seconds * 1000.0)


def servers(args, session, bare=True):
    """The servers a benchmark compares: the host built now, optionally an older host
    ('before'), and the bare server, as (label, kind, bin folder)."""
    chosen = [("host", "host", session.bin)]
    if args.before:
        chosen.insert(0, ("host-before", "host", args.before))
    if bare:
        chosen.append(("bare", "bare", session.bin))
    return chosen
