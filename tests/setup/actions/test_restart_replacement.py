"""Replacing a file in use: the NT path (numbered backup, delayed moves in the registry) and the
Windows 98 path (WinInit.Ini [Rename]), with a library held loaded by a helper process of ours,
under the Windows versions that Wine reports per program. Also the disk-space query."""
import os
import shutil
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import setup_harness  # noqa: E402

BIN = os.environ["TELVANE_BIN"]
DATA = os.environ["TELVANE_ACTIONS_DATA"]
SESSION = os.environ["TELVANE_SESSION"]
PREFIX = os.path.join(SESSION, "prefix")
DRIVE_C = os.path.join(PREFIX, "drive_c")
WINDOWS = os.path.join(DRIVE_C, "windows")
PENDING_KEY = r"HKLM\System\CurrentControlSet\Control\Session Manager"


def wine(args, timeout=120):
    return setup_harness.run_wine(args, timeout=timeout)


def set_version(version):
    result = wine(["reg", "add", r"HKCU\Software\Wine\AppDefaults\actions_probe.exe", "/v", "Version", "/d",
                   version, "/f"])
    assert result.returncode == 0, result.stderr


def pending_renames():
    result = wine(["reg", "query", PENDING_KEY, "/v", "PendingFileRenameOperations"])
    for line in result.stdout.splitlines():
        if "PendingFileRenameOperations" in line:
            return line.split("REG_MULTI_SZ", 1)[1].strip().split("\\0")
    return []


def clear_pending():
    wine(["reg", "delete", PENDING_KEY, "/v", "PendingFileRenameOperations", "/f"])


def read(path):
    with open(path, "rb") as f:
        return f.read()


def source(name):
    return read(os.path.join(DATA, "src", name))


def linux_path(windows_path):
    assert windows_path[:3].upper() == "C:\\", windows_path
    return os.path.join(DRIVE_C, *windows_path[3:].split("\\"))


class Locker:
    """file_locker holding a file (loaded as a library, or open without sharing)."""

    def __init__(self, mode, windows_path):
        self.marker = linux_path(windows_path) + ".locked"
        self.process = subprocess.Popen([setup_harness.WINE_RUN, os.path.join(BIN, "file_locker.exe"), mode,
                                         windows_path, "60"], stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(300):
            if os.path.exists(self.marker):
                return
            time.sleep(0.1)
        raise AssertionError("file_locker did not lock " + windows_path)

    def release(self):
        if os.path.exists(self.marker):
            os.remove(self.marker)
        self.process.wait(timeout=60)


class RestartReplacement(unittest.TestCase):
    def setUp(self):
        self.folder = os.path.join(DRIVE_C, "restart-test")
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.folder)
        shutil.copy(os.path.join(DATA, "python.zip"), os.path.join(self.folder, "setup.zip"))
        self.target = r"C:\restart-test\x.dll"
        shutil.copy(os.path.join(DATA, "src", "v1000.dll"), linux_path(self.target))
        clear_pending()
        self.lockers = []

    def tearDown(self):
        for locker in self.lockers:
            locker.release()
        shutil.rmtree(self.folder, ignore_errors=True)

    def lock(self, mode):
        locker = Locker(mode, self.target)
        self.lockers.append(locker)
        return locker

    def install(self, record):
        result = wine([os.path.join(BIN, "actions_probe.exe"), "install", r"C:\restart-test", record])
        files, reboot = [], None
        for line in result.stdout.splitlines():
            kind, _, value = line.rstrip("\r").partition("|")
            if kind == "file":
                files.append(value)
            elif kind == "reboot":
                reboot = int(value)
            elif kind.endswith("exception"):
                self.fail(line)
        self.assertIsNotNone(reboot, result.stdout + result.stderr)
        return files, reboot

    def test_xp_moves_a_loaded_library_aside_and_deletes_the_backup_at_restart(self):
        set_version("winxp")
        self.lock("load")
        files, reboot = self.install("x,v2000.dll," + self.target + ",0,1")
        self.assertEqual(reboot, 1)
        self.assertEqual(files[-1], self.target)
        self.assertEqual(read(linux_path(self.target)), source("v2000.dll"))
        self.assertEqual(read(linux_path(r"C:\restart-test\x.001")), source("v1000.dll"))
        self.assertEqual(pending_renames()[:2], [r"\??\C:\restart-test\x.001", ""])

        # With x.001 taken, the next replacement of the loaded library moves it to x.002.
        self.lockers.pop().release()
        shutil.copy(os.path.join(DATA, "src", "v1000.dll"), linux_path(self.target))
        self.lock("load")
        files, reboot = self.install("x,v2000.dll," + self.target + ",0,1")
        self.assertEqual(reboot, 1)
        self.assertEqual(read(linux_path(r"C:\restart-test\x.002")), source("v1000.dll"))
        self.assertIn(r"\??\C:\restart-test\x.002", pending_renames())

    def test_xp_locked_target_with_rule_0_is_skipped(self):
        set_version("winxp")
        self.lock("open")
        files, reboot = self.install("x,v2000.dll," + self.target + ",0,0")
        self.assertEqual(files, [r"C:\probe\setup.log"])
        self.assertEqual(reboot, 0)
        self.assertEqual(pending_renames(), [])

    def windows98_rename(self, existing):
        winint = os.path.join(WINDOWS, "WinInit.Ini")
        for name in os.listdir(WINDOWS):
            if name.lower() == "wininit.ini":
                os.remove(os.path.join(WINDOWS, name))
        if existing is not None:
            with open(winint, "wb") as f:
                f.write(existing)
        set_version("win98")
        self.lock("load")
        try:
            files, reboot = self.install("x,v2000.dll," + self.target + ",0,1")
        finally:
            set_version("winxp")
        self.assertEqual(reboot, 1)
        self.assertEqual(files[-1], self.target)
        self.assertEqual(read(linux_path(self.target)), source("v1000.dll"))  # replaced at the restart
        self.assertEqual(pending_renames(), [])
        text = read(winint)
        start = text.index(b"[Rename]\r\n") + len(b"[Rename]\r\n")
        line = text[start:text.index(b"\r\n", start) + 2]
        target, _, temporary = line[:-2].decode("latin-1").partition("=")
        self.assertEqual(target, self.target)
        name = temporary.rsplit("\\", 1)[1]
        self.assertTrue(name.startswith("tmp") and name.endswith(".tmp"), temporary)
        # The temporary copy stays until the restart moves it onto the target.
        users = os.path.join(DRIVE_C, "users")
        found = [os.path.join(root, name) for root, _, names in os.walk(users) if name in names]
        self.assertEqual(len(found), 1, found)
        self.assertEqual(read(found[0]), source("v2000.dll"))
        os.remove(found[0])
        return text, line

    def test_windows98_creates_wininit_with_a_rename_section(self):
        text, line = self.windows98_rename(None)
        self.assertEqual(text, b"[Rename]\r\n" + line)

    def test_windows98_inserts_at_the_top_of_an_existing_rename_section(self):
        existing = b"[boot]\r\nshell=x\r\n[Rename]\r\nNUL=C:\\old.tmp\r\n[other]\r\nkey=value\r\n"
        text, line = self.windows98_rename(existing)
        self.assertEqual(text, b"[boot]\r\nshell=x\r\n[Rename]\r\n" + line +
                         b"NUL=C:\\old.tmp\r\n[other]\r\nkey=value\r\n")

    def test_windows98_appends_the_section_to_a_file_without_one(self):
        existing = b"[boot]\r\nshell=x\r\n"
        text, line = self.windows98_rename(existing)
        self.assertEqual(text, existing + b"[Rename]\r\n" + line)


class FreeDiskSpace(unittest.TestCase):
    def test_free_kb_of_drive_c_and_of_no_drive(self):
        result = wine([os.path.join(BIN, "actions_probe.exe"), "freespace", r"C:\no\such\folder"])
        kb = int(result.stdout.strip().split("|")[1])
        stat = os.statvfs(DRIVE_C)
        expected = stat.f_bavail * stat.f_frsize // 1024
        self.assertLess(abs(kb - min(expected, 0xFFFFFFFF)), 64 * 1024, (kb, expected))
        result = wine([os.path.join(BIN, "actions_probe.exe"), "freespace", r"Q:\nowhere"])
        self.assertEqual(result.stdout.strip(), "free|0")


if __name__ == "__main__":
    unittest.main(verbosity=2)
