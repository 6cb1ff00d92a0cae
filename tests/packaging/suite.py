"""The suite's package as a user gets it, driven from Python: setup.exe run on the package
(unattended or through its wizard), the installation checked in the prefix, the installed
host and clients run against each other on loopback with the dial-up simulator, the
uninstaller run, and what is left looked for.

Shared by the main job (scripts/demo.sh) and its short form among the tests. Every step
prints one progress line; every wait is bounded; a failing check raises Failure.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "client"))
from client_support import (CLIENT_KEY, CONNECTED, FRAME, ID_CONNECT, ID_DISCONNECT, OFF_LINE, ON_LINE,  # noqa: E402
                            WM_CANCELMODE, WM_RBUTTONUP, Client, configure_client, t)

HOST_KEY = r"HKCU\Software\Velmora\TelvaneHost"
UNINSTALL_KEY = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Telvane"
PRODUCT_KEY = r"HKLM\SOFTWARE\Velmora\Telvane"
USERDATA_ROOT = r"HKLM\SOFTWARE\Ostrel"
SHARED_DLLS_KEY = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\SharedDLLs"
PROGRAMS = ("TelvaneHost.exe", "TelvaneClient.exe", "Tools.dll", "uninstall.exe")
SHORTCUTS = ("Telvane Host.lnk", "Telvane Client.lnk", "Uninstall Telvane.lnk", "Telvane on the Web.url")
SIMULATOR_FILES = ("rasapi32.dll", "rassim.txt", "rassim.log")


class Failure(AssertionError):
    pass


VALUE_LINE = re.compile(r"^    (.+?)    (REG_\w+)(?:    (.*))?$")


def reg_value(key, name):
    """The value's data as `reg query` prints it, or None; names may hold blanks (paths)."""
    result = t.wine("reg", "query", key, "/v", name, check=False)
    if result.returncode != 0:
        return None
    for line in result.stdout.decode("latin-1").splitlines():
        m = VALUE_LINE.match(line.rstrip("\r"))
        if m and m.group(1) == name:
            return m.group(3) or ""
    return None


def check(condition, text):
    if not condition:
        raise Failure(text)


class Run:
    """One pass of the suite's life in the test prefix; keeps a report of what happened."""

    def __init__(self, package, output, quiet=False):
        self.package = package
        self.output = output
        self.quiet = quiet
        self.report = []
        self.screenshots = []
        self.prefix = os.environ.get("TELVANE_WINEPREFIX") or self._session_prefix()
        os.makedirs(output, exist_ok=True)
        with zipfile.ZipFile(os.path.join(package, "setup.zip")) as archive:
            self.packaged = {name: archive.read(name) for name in archive.namelist()}
        self.app_dir = None
        self.log = {}

    @staticmethod
    def _session_prefix():
        with open(os.path.join(os.environ["TELVANE_SESSION"], "env")) as f:
            for line in f:
                if line.startswith("export WINEPREFIX="):
                    return line.split("=", 1)[1].strip().strip("'")
        raise Failure("the wine session names no prefix")

    # Progress and the report.

    def step(self, text):
        stamp = time.strftime("%H:%M:%S")
        print("[%s] %s" % (stamp, text), flush=True)

    def note(self, text):
        self.report.append(text)
        if not self.quiet:
            print("    " + text, flush=True)

    def shoot(self, name):
        with open(os.path.join(os.environ["TELVANE_SESSION"], "display")) as f:
            display = f.read().strip()
        path = os.path.join(self.output, "%02d-%s.png" % (len(self.screenshots) + 1, name))
        subprocess.run(["import", "-window", "root", path], env=dict(os.environ, DISPLAY=display), timeout=30,
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.screenshots.append(os.path.basename(path))
        return path

    def write_report(self, outcome):
        path = os.path.join(self.output, "report.txt")
        with open(path, "w") as f:
            f.write("Telvane main job: %s\n\n" % outcome)
            f.writelines(line + "\n" for line in self.report)
            if self.screenshots:
                f.write("\nScreenshots in this folder:\n")
                f.writelines("  %s\n" % name for name in self.screenshots)
        return path

    # Paths between Windows and the prefix.

    def unix_path(self, windows_path):
        drive, _, rest = windows_path.partition(":")
        check(drive.upper() == "C" and rest.startswith("\\"), "not a path on drive C: %r" % windows_path)
        return os.path.join(self.prefix, "drive_c", *[p for p in rest.split("\\") if p])

    # Settings, before any of the programs starts.

    def configure_loopback(self, port):
        self.step("Pointing TelvaneHost and TelvaneClient at 127.0.0.1:%d before anything starts" % port)
        t.reg_delete_key(HOST_KEY)
        t.reg_set(HOST_KEY + r"\Host", "Listening_Port", "REG_DWORD", port)
        configure_client(port)
        check(t.reg_query(CLIENT_KEY + r"\Host", "Address") == t.LOOPBACK, "the client's address is not loopback")
        self.note("client settings: Address=%s Port=%d; host Listening_Port=%d" % (t.LOOPBACK, port, port))
        # Every Windows has this key; a fresh Wine prefix does not, and the installer counts a
        # shared library's users only in a key that exists.
        if t.wine("reg", "query", SHARED_DLLS_KEY, check=False).returncode != 0:
            t.wine("reg", "add", SHARED_DLLS_KEY, "/f")
            self.note("the prefix had no %s key, which every Windows has: created it empty" % SHARED_DLLS_KEY)

    # Setup.

    def unattended_copy(self):
        """A copy of the package whose Setup.ini asks for an unattended installation."""
        folder = tempfile.mkdtemp(prefix="telvane-package-", dir=os.environ["TELVANE_SESSION"])
        for name in os.listdir(self.package):
            shutil.copy(os.path.join(self.package, name), folder)
        path = os.path.join(folder, "Setup.ini")
        with open(path, "rb") as f:
            script = f.read()
        check(b"\r\nSetupType=0\r\n" in script, "Setup.ini has no SetupType=0 line to change")
        with open(path, "wb") as f:
            f.write(script.replace(b"\r\nSetupType=0\r\n", b"\r\nSetupType=1\r\n", 1))
        return folder

    def install_unattended(self):
        self.step("Installing unattended (a copy of the package with SetupType=1)")
        folder = self.unattended_copy()
        try:
            started = time.monotonic()
            result = run_in(folder, "setup.exe", timeout=180)
            check(result.returncode == 0, "setup.exe ended with exit code %d" % result.returncode)
            self.note("setup.exe (unattended) ended with exit code 0 after %.1f s" % (time.monotonic() - started))
        finally:
            shutil.rmtree(folder, ignore_errors=True)

    # The installation as it lies in the prefix.

    def find_installation(self):
        uninstall = reg_value(UNINSTALL_KEY, "UninstallString")
        check(uninstall, "no UninstallString under %s" % UNINSTALL_KEY)
        check(uninstall.startswith('"') and uninstall.endswith('\\uninstall.exe"'),
              "UninstallString %r does not name uninstall.exe in quotes" % uninstall)
        self.uninstall_string = uninstall
        self.app_dir = uninstall[1:-len('\\uninstall.exe"')]
        self.note("installed into %s; UninstallString %s" % (self.app_dir, uninstall))

    def read_setup_log(self):
        path = os.path.join(self.unix_path(self.app_dir), "setup.log")
        check(os.path.isfile(path), "no setup.log in %s" % self.app_dir)
        with open(path, "rb") as f:
            text = f.read().decode("cp1252")
        check(text.endswith("\r\n"), "setup.log does not end with a line end")
        sections, current = {}, None
        for line in text.split("\r\n")[:-1]:
            if line.startswith("[") and line.endswith("]"):
                current = line[1:-1]
                sections[current] = []
            else:
                check(current is not None, "setup.log does not begin with a section")
                sections[current].append(line)
        self.log = sections
        return sections

    def check_installation(self):
        self.step("Checking the installation: files, setup.log, registry, shortcuts")
        self.find_installation()
        folder = self.unix_path(self.app_dir)
        for name in PROGRAMS:
            path = os.path.join(folder, name)
            check(os.path.isfile(path), "%s was not installed" % name)
            with open(path, "rb") as f:
                check(f.read() == self.packaged[name], "%s differs from the one in setup.zip" % name)
        error_log = os.path.join(folder, "error.log")
        if os.path.exists(error_log):
            raise Failure("the installation wrote error.log: %r" % self._read(error_log))
        self.note("%s: %s, all equal to setup.zip's entries; no error.log" % (self.app_dir, ", ".join(PROGRAMS)))

        log = self.read_setup_log()
        check(list(log) == ["COMMON", "SHAREDFILES", "STDFILES", "APPFILES", "APPFOLDERS", "APPDIR", "REGENTRY",
                            "REGDLLS", "RUNAPPS"], "setup.log sections: %s" % list(log))
        check(log["COMMON"][0] == "Application_Name=Telvane", "setup.log COMMON begins %r" % log["COMMON"][:1])
        app = self.app_dir
        check(log["SHAREDFILES"] == [app + "\\Tools.dll"], "SHAREDFILES: %r" % log["SHAREDFILES"])
        for name in ("TelvaneHost.exe", "TelvaneClient.exe", "uninstall.exe", "setup.log"):
            check(app + "\\" + name in log["APPFILES"], "APPFILES lacks %s" % name)
        check(app in log["APPDIR"], "APPDIR lacks the installation folder: %r" % log["APPDIR"])
        self.note("setup.log: %d application files, %d shared, %d folders, %d registry keys"
                  % (len(log["APPFILES"]), len(log["SHAREDFILES"]), len(log["APPDIR"]) + len(log["APPFOLDERS"]),
                     len(log["REGENTRY"])))

        count = reg_value(SHARED_DLLS_KEY, app + "\\Tools.dll")
        check(count == "0x1", "SharedDLLs count of Tools.dll is %r, not 1" % count)
        display = reg_value(UNINSTALL_KEY, "DisplayName") or ""
        check(display.startswith("Telvane ") and display.endswith(" (dial-up line sharing)"),
              "Add/Remove Programs shows %r" % display)
        check(reg_value(PRODUCT_KEY, "InstallDir") == app, "%s InstallDir is not %s" % (PRODUCT_KEY, app))
        self.note("registry: SharedDLLs count of Tools.dll 1; Add/Remove Programs entry %r; %s InstallDir=%s"
                  % (display, PRODUCT_KEY, app))

        links = [line for line in log["APPFILES"] if line.endswith((".lnk", ".url"))]
        check(sorted(windows_name(p) for p in links) == sorted(SHORTCUTS), "shortcuts in setup.log: %r" % links)
        self.shortcut_folder = links[0].rsplit("\\", 1)[0]
        for link in links:
            path = self.unix_path(link)
            check(os.path.isfile(path), "shortcut %s is missing" % link)
            if link.endswith(".lnk"):
                target = windows_name(link)[:-4]
                program = {"Telvane Host": "TelvaneHost.exe", "Telvane Client": "TelvaneClient.exe",
                           "Uninstall Telvane": "uninstall.exe"}[target]
                info = subprocess.run(["lnkinfo", path], capture_output=True, text=True, timeout=30).stdout
                check((app + "\\" + program).lower() in info.lower(),
                      "lnkinfo does not show %s\\%s in %s:\n%s" % (app, program, link, info))
            else:
                text = self._read(path)
                check("URL=http://www.velmora.example/telvane/" in text, "%s holds %r" % (link, text))
        self.note("Start menu folder %s: %s (checked with lnkinfo)" % (self.shortcut_folder, ", ".join(SHORTCUTS)))

    @staticmethod
    def _read(path):
        with open(path, "rb") as f:
            return f.read().decode("latin-1")

    # The installed programs.

    def run_programs(self, port, client_count=2, screenshots=True):
        self.step("Starting the installed TelvaneHost.exe with the dial-up simulator")
        folder = self.unix_path(self.app_dir)
        # The simulator stands in for Wine's dial-up stub; it lies beside the installed host only
        # while the host runs and is taken away before the uninstaller looks at the folder.
        shutil.copy(t.RASSIM, os.path.join(folder, "rasapi32.dll"))
        with open(os.path.join(folder, "rassim.txt"), "w", newline="") as f:
            f.write("entry Ringwell dial_ms=800\r\n")
        host = InstalledProgram(folder, "TelvaneHost.exe", self.output, dll_overrides="rasapi32=n")
        clients = []
        try:
            host.start()
            t.connect_when_listening(port, timeout=40).close()
            self.note("TelvaneHost is listening on 127.0.0.1:%d" % port)
            for name in ("A", "B")[:client_count]:
                self.step("Starting installed TelvaneClient.exe %s" % name)
                client = InstalledClient(folder, self.output, name)
                clients.append(client)
                client.start()
                t.wait_until(lambda: client.states()[-1:] == ["OffLine"], 30, what="client %s to see the line" % name)
                check("Connected to server localhost on port %d" % port in client.texts(),
                      "client %s's log lacks its connection: %r" % (name, client.texts()))
                client.wait_tray(OFF_LINE, "Off-line", timeout=15)
                self.note("client %s connected to the host; its tray says Off-line" % name)
            a, others = clients[0], clients[1:]
            if screenshots:
                self.tray_menu(a, "tray-off-line")
            self.step("Client A: Connect (the host dials Ringwell on the simulated line)")
            a.command(ID_CONNECT)
            a.wait_tray(CONNECTED, "Connected", timeout=30)
            for b in others:
                b.wait_tray(ON_LINE, "On-line", timeout=30)
            check(host.calls("dial"), "the host did not dial")
            self.note("host dialled %s; client A's tray says Connected%s" % (
                host.calls("dial")[0].get("entry"), ", client B's On-line" if others else ""))
            if screenshots:
                self.tray_menu(a, "tray-connected-client-a")
                for b in others:
                    self.tray_menu(b, "tray-on-line-client-b")
            self.step("Client A: Disconnect (the host hangs up)")
            a.command(ID_DISCONNECT)
            t.wait_until(lambda: host.calls("hangup"), 20, what="the host to hang up")
            for client in clients:
                client.wait_tray(OFF_LINE, "Off-line", timeout=20)
            self.note("host hung up; %s Off-line again" % ("both clients say" if others else "the client says"))
        finally:
            for client in clients:
                client.stop()
            host.stop()
            for name in SIMULATOR_FILES:
                path = os.path.join(folder, name)
                if os.path.exists(path):
                    os.remove(path)

    def tray_menu(self, client, name):
        """Opens the client's tray menu the way the shell does, shoots the screen, closes it."""
        t.wine(os.path.join(t.BIN, "clientctl.exe"), "message", client.window(), str(0x401), "0",
               str(WM_RBUTTONUP), check=False)
        time.sleep(1.0)
        self.shoot(name)
        t.wine(os.path.join(t.BIN, "clientctl.exe"), "message", client.window(), str(WM_CANCELMODE), "0", "0",
               check=False)
        time.sleep(0.3)

    # Removal.

    def uninstall(self):
        command = self.uninstall_string
        program = self.unix_path(command.strip('"'))
        self.step("Removing Telvane: %s /S (the UninstallString, silent)" % command)
        result = run_in(os.path.dirname(program), "uninstall.exe", "/S", timeout=120)
        check(result.returncode == 0, "the uninstaller ended with exit code %d" % result.returncode)
        # The uninstaller takes itself and its folder away once it has ended.
        t.wait_until(lambda: not os.path.exists(program), 30, what="uninstall.exe to be gone")
        self.note("uninstall.exe /S ended with exit code 0")

    def check_nothing_left(self):
        self.step("Looking for anything the installation left behind")
        left = []
        folder = self.unix_path(self.app_dir)
        for path in [folder, os.path.dirname(folder), self.unix_path(self.shortcut_folder)]:
            if os.path.exists(path):
                left.append("%s (holds %s)" % (path, sorted(os.listdir(path)) if os.path.isdir(path) else "a file"))
        for line in self.log.get("APPFILES", []) + self.log.get("SHAREDFILES", []):
            if os.path.exists(self.unix_path(line)):
                left.append(line)
        for key in (UNINSTALL_KEY, PRODUCT_KEY, r"HKLM\SOFTWARE\Velmora", USERDATA_ROOT):
            if t.wine("reg", "query", key, check=False).returncode == 0:
                left.append(key)
        check(not left, "left behind: %s" % "; ".join(left))
        # The shared-library count goes down to 0; the engine's rule keeps the value itself.
        count = reg_value(SHARED_DLLS_KEY, self.app_dir + "\\Tools.dll")
        check(count in (None, "0x0"), "SharedDLLs count of Tools.dll is %r after the removal" % count)
        self.note("nothing left: folders, files, shortcuts, Uninstall, product and installer keys are gone; "
                  "SharedDLLs count of Tools.dll: %s" % ("value removed" if count is None else "0 (the value stays)"))


def windows_name(path):
    return path.rsplit("\\", 1)[-1]


def run_in(folder, program, *args, timeout=60):
    """Runs a Windows program of the folder to its end, with the folder as current folder
    (setup.exe finds setup.zip there)."""
    with tempfile.TemporaryFile() as out:
        completed = subprocess.run([t.WINE_RUN, os.path.join(folder, program), *args], cwd=folder, timeout=timeout,
                                   stdout=out, stderr=out, stdin=subprocess.DEVNULL)
        out.seek(0)
        completed.stdout = out.read()
    return completed


class InstalledProgram(t.Program):
    """A program run where the installer put it, its debug output kept in the output folder."""

    def __init__(self, folder, exe, output, dll_overrides="", tag=""):
        self.folder = folder
        self.exe = os.path.join(folder, exe)
        self.dll_overrides = dll_overrides
        self.debug_channels = "-all,+debugstr"
        self.process = None
        self.stderr_path = os.path.join(output, "%s%s.debug.txt" % (exe[:-4], tag))

    def calls(self, name):
        return t.SimulatedHost.calls(self, name)

    def line_log(self):
        return t.SimulatedHost.line_log(self)

    def cleanup(self):
        self.stop()


class InstalledClient(Client):
    def __init__(self, folder, output, tag):
        InstalledProgram.__init__(self, folder, "TelvaneClient.exe", output, tag="-" + tag)
        self.prefix_env = {}

    def cleanup(self):
        self.stop()
