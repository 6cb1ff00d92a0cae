"""The real setup.exe, unattended, under faults: damaged packages, odd scripts and language files,
long target paths, folders that cannot be written, a full disk and a kill part way. Each case
checks the box and exit code, and what lies in the installation folder afterwards: every file
there is named by a whole setup.log and holds the packaged bytes, and uninstall.exe removes it."""
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, ".."))
sys.path.insert(0, os.path.join(HERE, "..", "sequence"))
from setup_harness import BIN, WINE_RUN, Package, crlf, run_wine, windows_path  # noqa: E402
from test_install_sequence import UNINSTALL, export_registry, reg, wait_until  # noqa: E402

SESSION = os.environ.get("TELVANE_SESSION", "")
DRIVE_C = os.path.join(SESSION, "prefix", "drive_c")
DOSDEVICES = os.path.join(SESSION, "prefix", "dosdevices")
RUN_SECONDS = 90
HEADERS = ["[COMMON]", "[SHAREDFILES]", "[STDFILES]", "[APPFILES]", "[APPFOLDERS]", "[APPDIR]", "[REGENTRY]",
           "[REGDLLS]", "[RUNAPPS]"]
DIALOG = ["Remove Fault Probe", "Remove it?"]


def unix_path(path):
    drive = path[0].lower()
    root = DRIVE_C if drive == "c" else os.path.realpath(os.path.join(DOSDEVICES, drive + ":"))
    return os.path.join(root, *[p for p in path[3:].split("\\") if p])


def winctl(*args):
    result = run_wine([os.path.join(BIN, "winctl.exe")] + [str(a) for a in args], timeout=60)
    return result.returncode, result.stdout


def read_box(caption):
    """The text of a box with that caption, pressed away; None when there is none."""
    code, texts = winctl("wait", caption, 3000)
    if code != 0:
        return None
    code, texts = winctl("texts", caption)
    text = ""
    for line in texts.splitlines():
        parts = line.rstrip("\r").split("\t")
        if len(parts) >= 3 and parts[1] == "Static" and parts[2]:
            text = parts[2]
    winctl("press", caption, 1)
    return text


def start_setup(package, cwd=None):
    with open(os.path.join(package.folder, "run.out"), "wb") as out:
        return subprocess.Popen([WINE_RUN, package.program], cwd=cwd or package.folder, stdin=subprocess.DEVNULL,
                                stdout=out, stderr=subprocess.STDOUT)


def run_setup(package, cwd=None):
    """Runs setup.exe until it ends, answering its failure boxes; returns (boxes, exit code)."""
    process = start_setup(package, cwd)
    boxes = []
    deadline = time.monotonic() + RUN_SECONDS
    try:
        while process.poll() is None and time.monotonic() < deadline:
            # Every failure box of these runs is a file failure, captioned "Error".
            text = read_box("Error")
            if text is not None:
                boxes.append(("Error", text))
        if process.poll() is None:
            raise AssertionError("setup.exe still runs after %d s" % RUN_SECONDS)
    finally:
        if process.poll() is None:
            process.kill()
            process.wait(30)
    code = process.returncode
    return boxes, code - 256 if code > 127 else code


def payload():
    generator = random.Random(13)
    files = {"a%02d.bin" % n: generator.randbytes(3000 + 997 * n) for n in range(6)}
    files["text.txt"] = b"Telvane fault probe\r\n" * 400
    with open(os.path.join(BIN, "uninstall.exe"), "rb") as source:
        files["uninstall.exe"] = source.read()
    return files


class Product:
    """Setup.ini, English.dat and setup.zip for an unattended installation into app_dir."""

    def __init__(self, name, app_dir, files=None, extra_files=(), registry=True):
        self.name = name
        self.app_dir = app_dir
        self.package = Package("setup.exe")
        self.files = payload() if files is None else files
        self.zip_path = os.path.join(self.package.folder, "setup.zip")
        with zipfile.ZipFile(self.zip_path, "w", zipfile.ZIP_DEFLATED) as archive:
            for entry, data in self.files.items():
                archive.writestr(entry, data)
        self.records = {
            "APPLICATION_FOLDERS": ["%AppDir%"],
            "APPLICATION_FILES": ["F,%s,%%AppDir%%\\%s" % (e, e) for e in self.files] + list(extra_files),
        }
        if registry:
            # One record that fails, so that error.log is written.
            self.records["REGISTRY_ENTRIES"] = ["key,HKXX,Software\\Nowhere"]
        self.general = ["ProductName=" + name]
        self.setup_info = []
        self.dialog = list(DIALOG)
        self.runapps = []
        self.write()

    def write(self, end=b""):
        lines = ["[GENERAL_INFO]"] + self.general + ["CompanyName=Velmora Fault", "ProductVersion=1.0",
                                                      "[SETUP_INFO]", "SetupType=1", "EnableUninstaller=Y",
                                                      "DefaultInstallationPath=" + self.app_dir,
                                                      "AddRemoveProgramsDescription=" + self.name] + self.setup_info
        if self.runapps:
            lines += ["[RUNAPPS]"] + self.runapps
        for section, records in self.records.items():
            lines += ["[%s]" % section] + records
        self.package.write("Setup.ini", crlf(*lines) + end)
        self.package.write("English.dat", crlf("[UNINSTALL_DIALOG]", *self.dialog) + crlf("[STRINGS]", "1=Setup"))

    def cleanup(self):
        self.package.cleanup()


class FaultCase(unittest.TestCase):
    def setUp(self):
        self.products = []
        self.cleanups = []

    def tearDown(self):
        for product in self.products:
            remove_tree(unix_path(product.app_dir))
            reg_delete(UNINSTALL + product.name)
            product.cleanup()
        for cleanup in reversed(self.cleanups):
            cleanup()
        reg_delete("HKLM\\Software\\Ostrel")

    def product(self, name, app_dir, **kwargs):
        product = Product(name, app_dir, **kwargs)
        self.products.append(product)
        remove_tree(unix_path(app_dir))
        return product

    def read_log(self, product):
        """setup.log as a dict of section: lines; None when there is none. Asserts it is whole."""
        path = os.path.join(unix_path(product.app_dir), "setup.log")
        if not os.path.exists(path):
            return None
        with open(path, "rb") as source:
            data = source.read()
        self.assertTrue(data.endswith(b"\r\n"), "setup.log does not end with a line break")
        lines = data.decode("latin-1").split("\r\n")[:-1]
        self.assertEqual([line for line in lines if line in HEADERS], HEADERS, "setup.log lacks a header")
        sections, current = {}, None
        for line in lines:
            if line in HEADERS:
                current = line[1:-1]
                sections[current] = []
            else:
                sections[current].append(line)
        return sections

    def check_folder(self, product, log):
        """Every file in the installation folder is listed and whole; returns the names found."""
        folder = unix_path(product.app_dir)
        names = sorted(os.listdir(folder)) if os.path.isdir(folder) else []
        listed = set()
        if log is not None:
            listed = {line.rsplit("\\", 1)[-1].lower() for line in log["APPFILES"]}
        for name in names:
            self.assertIn(name.lower(), listed, "%s lies in the folder but no setup.log names it" % name)
            if name in product.files:
                with open(os.path.join(folder, name), "rb") as source:
                    self.assertEqual(source.read(), product.files[name], "%s differs from the package" % name)
        return names

    def check_removal(self, product, log):
        """uninstall.exe /S takes away everything setup.log lists."""
        if log is None or "uninstall.exe" not in self.check_folder(product, log):
            return
        result = run_wine([product.app_dir + "\\uninstall.exe", "/S"], timeout=120)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        gone = wait_until(lambda: not os.path.exists(unix_path(product.app_dir)), 30)
        self.assertTrue(gone, "the folder stays after removal: %s" % (gone or os.listdir(unix_path(product.app_dir))))


def remove_tree(path):
    if os.path.isdir(path):
        shutil.rmtree(path, ignore_errors=True)
    elif os.path.lexists(path):
        os.remove(path)


def reg_delete(key):
    run_wine(["reg", "delete", key, "/f"])


def flip(data, offset):
    changed = bytearray(data)
    changed[offset] ^= 0x55
    return bytes(changed)


def zip_offsets(path):
    """(first data byte of the first entry, first local header, first central header, end record)."""
    with open(path, "rb") as source:
        data = source.read()
    with zipfile.ZipFile(path) as archive:
        first = archive.infolist()[0]
    name_length = int.from_bytes(data[first.header_offset + 26:first.header_offset + 28], "little")
    extra_length = int.from_bytes(data[first.header_offset + 28:first.header_offset + 30], "little")
    data_start = first.header_offset + 30 + name_length + extra_length
    return data, data_start, first.header_offset, data.find(b"PK\x01\x02"), data.rfind(b"PK\x05\x06")


class PackageFaults(FaultCase):
    """setup.zip cut, with a flipped byte, not a ZIP at all, or missing."""

    def test_damaged_packages(self):
        probe = Product("Probe", "C:\\unused")
        data, data_start, local, central, end = zip_offsets(probe.zip_path)
        probe.cleanup()
        # (name, bytes of setup.zip or None for no file, box expected, entries that cannot be whole)
        log_box = ("Error", 'The disk is full: "C:\\Fault Package\\setup.log"')
        first = "a00.bin"
        cases = [
            ("missing", None, ("Error", 'File not found: "setup.zip"'), None),
            ("empty", b"", log_box, None),
            ("not a ZIP", b"This is a text file, not an archive.\r\n" * 50, log_box, None),
            ("cut in the middle", data[:len(data) // 2], log_box, None),
            ("cut in the end record", data[:end + 10], log_box, None),
            ("cut by its last byte", data[:-1], None, set()),
            ("flipped byte in entry data", flip(data, data_start + 500), None, {first}),
            ("flipped byte in a local header signature", flip(data, local), None, {first}),
            ("flipped byte in a central header name", flip(data, central + 46), None, {first}),
            ("flipped byte in the end record", flip(data, end + 12), log_box, None),
        ]
        for name, package_bytes, box, broken in cases:
            with self.subTest(name):
                product = self.product("Fault Package", "C:\\Fault Package")
                if package_bytes is None:
                    os.remove(product.zip_path)
                else:
                    product.package.write("setup.zip", package_bytes)
                boxes, code = run_setup(product.package)
                self.assertEqual(boxes, [box] if box else [])
                self.assertEqual(code, -1 if box else 0)
                log = self.read_log(product)
                names = self.check_folder(product, log)
                if broken is None:
                    self.assertIsNone(log)
                    self.assertEqual(names, [])
                else:
                    whole = set(product.files) - broken
                    self.assertTrue(whole <= set(names), "missing: %s" % sorted(whole - set(names)))
                    self.assertTrue(set(names) <= whole | {"setup.log", "error.log"}, names)
                    self.check_removal(product, log)
                remove_tree(unix_path(product.app_dir))


class ScriptFaults(FaultCase):
    """Setup.ini and the language file with NUL bytes, 1 MB lines, LF alone, 100,000 records."""

    def install(self, product, expected_name):
        boxes, code = run_setup(product.package)
        self.assertEqual((boxes, code), ([], 0))
        log = self.read_log(product)
        self.assertIsNotNone(log, "no setup.log")
        self.assertEqual(log["COMMON"][0], "Application_Name=" + expected_name)
        self.assertEqual(len(log["COMMON"]), 14)
        self.assertEqual(set(self.check_folder(product, log)), set(product.files) | {"setup.log", "error.log"})
        self.check_removal(product, log)
        return log

    def test_nul_bytes(self):
        product = self.product("Fault Script", "C:\\Fault Script")
        product.general = ["Junk=\0\0\0", "\0=\0", "ProductName=Fault Script"]
        product.records["APPLICATION_FILES"].insert(0, "\0,\0,\0")
        product.dialog = ["Remove\0it", "\0"]
        product.write(end=b"\0\0\r\n")
        log = self.install(product, "Fault Script")
        # A NUL byte would make uninstall.exe refuse the whole log: it is written as a blank.
        self.assertEqual(log["COMMON"][1:3], ["Remove it", " "])

    def test_megabyte_lines(self):
        product = self.product("Fault Script", "C:\\Fault Script")
        long_line = "x" * (1 << 20)
        product.general = ["Long=" + long_line, long_line, "ProductName=Fault Script"]
        product.records["APPLICATION_FILES"].append("F,text.txt,%AppDir%\\" + long_line)
        product.records["APPLICATION_FOLDERS"].append("%AppDir%\\" + long_line)
        product.dialog = [long_line, "Remove it?"]
        product.write()
        log = self.install(product, "Fault Script")
        self.assertEqual(log["COMMON"][1], long_line)

    def test_hundred_thousand_records(self):
        product = self.product("Fault Script", "C:\\Fault Script")
        product.general = ["Key%d=value %d" % (n, n) for n in range(100000)] + ["ProductName=Fault Script"]
        product.dialog = ["Line %d" % n for n in range(100000)]
        product.write()
        log = self.install(product, "Fault Script")
        self.assertEqual(log["COMMON"][1:], ["Line %d" % n for n in range(13)])

    def test_lines_without_cr_lf(self):
        # Lines ending in LF alone are no lines: nothing of the script is seen, so the run is not
        # unattended, installs into no folder and writes setup.log into the root of the drive
        # of the current folder. The run is given a current folder of its own drive (C:).
        product = self.product("Fault Script", "C:\\Fault Script")
        for name in ("Setup.ini", "English.dat"):
            path = os.path.join(product.package.folder, name)
            with open(path, "rb") as source:
                data = source.read()
            with open(path, "wb") as out:
                out.write(data.replace(b"\r\n", b"\n"))
        cwd = os.path.join(DRIVE_C, "fault-cwd")
        os.makedirs(cwd, exist_ok=True)
        shutil.copy(product.zip_path, cwd)
        root_log = os.path.join(DRIVE_C, "setup.log")
        self.cleanups.append(lambda: (remove_tree(cwd), remove_tree(root_log)))
        boxes, code = run_setup(product.package, cwd=cwd)
        self.assertEqual((boxes, code), ([], 0))
        self.assertFalse(os.path.exists(unix_path(product.app_dir)))
        with open(root_log, "rb") as source:
            written = source.read()
        self.assertTrue(written.startswith(b"[COMMON]\r\nApplication_Name=\r\n"), written[:80])


class PathFaults(FaultCase):
    """Target paths of 259, 260 and 600 characters, and folders that cannot be written."""

    def test_long_target_paths(self):
        for length in (259, 260, 600):
            with self.subTest(length=length):
                app_dir = "C:\\Fault Long " + "p" * (length - len("C:\\Fault Long ") - len("\\text.txt"))
                files = {"text.txt": b"long path\r\n"}
                product = self.product("Fault Long", "C:\\Fault Long", files=files, registry=False)
                product.records = {"APPLICATION_FOLDERS": ["%AppDir%", app_dir],
                                   "APPLICATION_FILES": ["F,text.txt," + app_dir + "\\text.txt",
                                                         "F,text.txt,%AppDir%\\text.txt"]}
                product.write()
                boxes, code = run_setup(product.package)
                self.assertEqual((boxes, code), ([], 0))
                log = self.read_log(product)
                self.assertIsNotNone(log)
                target = app_dir + "\\text.txt"
                self.assertEqual(target in log["APPFILES"], length <= 259)
                self.assertEqual(os.path.exists(unix_path(target)), length <= 259)
                self.check_removal(product, log)

    def test_folders_that_cannot_be_written(self):
        blocker = os.path.join(DRIVE_C, "fault-blocker.txt")
        with open(blocker, "wb") as out:
            out.write(b"a file where a folder is wanted\r\n")
        self.cleanups.append(lambda: remove_tree(blocker))
        cases = [("under a file", "C:\\fault-blocker.txt\\Product")]
        mounted = mount_drive(self, "r", "ro,size=64k")
        if mounted:
            cases.append(("read-only drive", "R:\\Product"))
        for name, app_dir in cases:
            with self.subTest(name):
                product = self.product("Fault Unwritable", app_dir)
                boxes, code = run_setup(product.package)
                self.assertEqual(boxes, [("Error", 'The disk is full: "%s\\setup.log"' % app_dir)])
                self.assertEqual(code, -1)
                self.assertFalse(os.path.isdir(unix_path(app_dir)))
        if not mounted:
            self.skipTest("no file system could be mounted here; only the folder under a file was tried")


def mount_drive(case, letter, options):
    """A small tmpfs given to Wine as drive letter; False when mounting is refused."""
    folder = tempfile.mkdtemp(prefix="fault-drive-", dir=SESSION)
    result = subprocess.run(["mount", "-t", "tmpfs", "-o", options, "tmpfs", folder], capture_output=True, timeout=30)
    if result.returncode != 0:
        os.rmdir(folder)
        return None
    link = os.path.join(DOSDEVICES, letter + ":")
    remove_tree(link)
    os.symlink(folder, link)

    def undo():
        os.remove(link)
        subprocess.run(["umount", folder], capture_output=True, timeout=30)
        os.rmdir(folder)
    case.cleanups.append(undo)
    return folder


class FullDisk(FaultCase):
    """setup.log and error.log on a 256 KB file system that is full or nearly full."""

    def test_full_disk(self):
        folder = mount_drive(self, "t", "size=256k")
        if not folder:
            self.skipTest("mounting a tmpfs is refused here")
        # (name, bytes left free, packaged files). setup.log never fits; error.log is small.
        cases = (("full", 0, None), ("one page free", 4096, {}))
        for name, free, files in cases:
            with self.subTest(name):
                for left in os.listdir(folder):
                    remove_tree(os.path.join(folder, left))
                product = self.product("Fault Full", "T:\\Product", files=files)
                # setup.log needs more than one page: long uninstall dialog lines.
                product.dialog = ["Remove %d " % n + "d" * 700 for n in range(13)]
                product.write()
                fill(folder, free)
                boxes, code = run_setup(product.package)
                self.assertEqual(boxes, [("Error", 'The disk is full: "T:\\Product\\setup.log"')])
                self.assertEqual(code, -1)
                installed = os.path.join(folder, "Product")
                names = sorted(os.listdir(installed)) if os.path.isdir(installed) else []
                self.assertNotIn("setup.log", names)
                # Under Wine a file whose writing failed for want of space may stay, but empty:
                # never with part of its content.
                sizes = {n: os.path.getsize(os.path.join(installed, n)) for n in names}
                self.assertEqual([n for n, size in sizes.items() if size != 0], [], sizes)
                os.remove(os.path.join(folder, "filler"))


def fill(folder, free):
    """Fills the file system until only `free` bytes are left."""
    stats = os.statvfs(folder)
    available = stats.f_bavail * stats.f_frsize
    with open(os.path.join(folder, "filler"), "wb") as out:
        out.write(b"\0" * max(0, available - free))
    stats = os.statvfs(folder)
    assert stats.f_bavail * stats.f_frsize == free, (stats.f_bavail, free)


class Kills(FaultCase):
    """setup.exe killed at several points of an installation."""

    def test_killed_part_way(self):
        marker = os.path.join(DRIVE_C, "fault-after.txt")
        # (name, condition on the installation folder that triggers the kill)
        points = [
            ("folder made", lambda folder: os.path.isdir(folder)),
            ("half the files", lambda folder: os.path.exists(os.path.join(folder, "a03.bin"))),
            ("after-install program ran", lambda folder: os.path.exists(marker)),
        ]
        for name, ready in points:
            with self.subTest(name):
                remove_tree(marker)
                product = self.product("Fault Killed", "C:\\Fault Killed")
                product.runapps = ["RunAfterInstall=yes", "AfterInstall=%WinSysDir%\\cmd.exe,/c echo after>C:\\"
                                   "fault-after.txt"]
                product.write()
                folder = unix_path(product.app_dir)
                process = start_setup(product.package)
                try:
                    self.assertTrue(wait_until(lambda: ready(folder) or process.poll() is not None, RUN_SECONDS))
                    self.assertIsNone(process.poll(), "setup.exe ended before the point")
                    process.kill()
                    process.wait(30)
                finally:
                    if process.poll() is None:
                        process.kill()
                        process.wait(30)
                time.sleep(1)
                names = sorted(os.listdir(folder))
                # setup.log is written only when setup ends; error.log at the end of the install
                # sequence, right after the after-install program, so the last kill may find it.
                self.assertNotIn("setup.log", names)
                if "error.log" in names:
                    self.assertEqual(name, "after-install program ran")
                    with open(os.path.join(folder, "error.log"), "rb") as source:
                        data = source.read()
                    self.assertTrue(data.endswith(b"\r\n") and data.count(b"\r\n") == 1 and b"HKXX" in data, data)
                    names.remove("error.log")
                for entry in names:
                    with open(os.path.join(folder, entry), "rb") as source:
                        data = source.read()
                    # A file being extracted at the kill may be cut; every other is whole.
                    if data != product.files[entry]:
                        self.assertTrue(product.files[entry].startswith(data), entry)
                remove_tree(marker)


if __name__ == "__main__":
    unittest.main(verbosity=2)
