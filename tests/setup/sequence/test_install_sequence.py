"""A whole installation on its worker thread, through the Process-page stand-in, and its removal
by uninstall.exe, checked in the files and the registry of the Wine prefix."""
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from setup_harness import BIN, WINE_RUN, Package, crlf, run_wine, windows_path  # noqa: E402

SESSION = os.environ.get("TELVANE_SESSION", "")
DRIVE_C = os.path.join(SESSION, "prefix", "drive_c")
SHARED_DLLS = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs"
UNINSTALL = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
USER_DATA = "HKEY_LOCAL_MACHINE\\Software\\Ostrel\\Stowpack\\UserData"
SHARED_DIR = "C:\\Telvane Shared"
SYSTEM_DIR = "C:\\Telvane System"
INI_FILE = "C:\\telvane-probe.ini"
AFTER_MARKER = "C:\\telvane-after.txt"
BEFORE_MARKER = "C:\\telvane-before.txt"
DIALOG = ["Remove Telvane Probe", "Do you want to remove the probe?", "Its settings are kept."]
SETTLE_SECONDS = 30


def unix_path(path):
    assert path[1:3] == ":\\" and path[0] in "Cc", path
    return os.path.join(DRIVE_C, *path[3:].split("\\"))


def exists(path):
    return os.path.exists(unix_path(path))


def read(path):
    with open(unix_path(path), "rb") as source:
        return source.read()


def remove(path):
    real = unix_path(path)
    if os.path.isdir(real):
        shutil.rmtree(real, ignore_errors=True)
    elif os.path.exists(real):
        os.remove(real)


def reg(*args):
    result = run_wine(["reg"] + list(args) + ["/f"])
    assert result.returncode == 0, result.stdout + result.stderr


def export_registry(key):
    """The key's tree as {lower-case key path: {value name: data as exported}}."""
    handle, path = tempfile.mkstemp(suffix=".reg", dir=SESSION)
    os.close(handle)
    try:
        result = run_wine(["regedit", "/E", windows_path(path), key])
        assert result.returncode == 0, result.stderr
        with open(path, "rb") as exported:
            raw = exported.read()
    finally:
        os.remove(path)
    text = raw.decode("utf-16") if raw[:2] == b"\xff\xfe" else raw.decode("latin-1")
    keys, current, pending = {}, None, ""
    for line in text.splitlines():
        line = pending + line.strip() if pending else line
        if current is not None and line.endswith("\\") and not line.startswith("["):
            pending = line[:-1]
            continue
        pending = ""
        if line.startswith("[") and line.endswith("]"):
            current = line[1:-1].lower()
            keys[current] = {}
        elif current is not None and line.startswith("@="):
            keys[current]["@"] = line[2:]
        elif current is not None and line.startswith('"'):
            end = 1
            while end < len(line) and line[end] != '"':
                end += 2 if line[end] == "\\" else 1
            name = line[1:end].replace('\\"', '"').replace("\\\\", "\\")
            keys[current][name.lower()] = line[end + 2:]
    return keys


def snapshot():
    files = set()
    for root, dirs, names in os.walk(DRIVE_C):
        relative = os.path.relpath(root, DRIVE_C)
        # Temporary folders and Wine's own machinery change by themselves.
        dirs[:] = [d for d in dirs if d.lower() not in ("temp", "tmp") and
                   not (relative == "windows" and d.lower() in ("logs", "installer"))]
        base = "" if relative == "." else relative + os.sep
        if base:
            files.add(relative.lower())
        files.update((base + name).lower() for name in names)
    registry = {}
    for key in ("HKEY_LOCAL_MACHINE\\Software", "HKEY_CURRENT_USER\\Software"):
        for name, values in export_registry(key).items():
            if "\\software\\wine" not in name:
                registry[name] = values
    return files, registry


def registry_changes(before, after):
    """(keys added, keys gone, {key: (values before, values after)} of the keys kept)."""
    added = sorted(set(after) - set(before))
    gone = sorted(set(before) - set(after))
    changed = {key: (before[key], after[key]) for key in set(before) & set(after) if before[key] != after[key]}
    return added, gone, changed


def lnkinfo(path):
    result = subprocess.run(["lnkinfo", unix_path(path)], capture_output=True, text=True, timeout=60)
    assert result.returncode == 0, result.stdout + result.stderr
    fields = {}
    for line in result.stdout.splitlines():
        name, colon, value = line.strip().partition(":")
        if colon:
            fields.setdefault(name.strip(), value.strip())
    return fields


def expected_log(common, lists):
    """setup.log as the installer must write it: lists given in order of addition."""
    lines = ["[COMMON]"] + common
    for name in ("SHAREDFILES", "STDFILES", "APPFILES", "APPFOLDERS", "APPDIR", "REGENTRY", "REGDLLS", "RUNAPPS"):
        lines.append("[%s]" % name)
        lines.extend(reversed(lists.get(name, [])))
    return crlf(*lines)


class Product:
    """One package: Setup.ini using every list, English.dat and a setup.zip made by zipfile."""

    def __init__(self, name, app_dir, imitation_note=""):
        self.name = name
        self.app_dir = app_dir
        self.package = Package("process_stand_in.exe")
        self.payload = {
            "app.exe": b"MZ probe program " + name.encode() + b"\r\n",
            "readme.txt": b"Read me\r\n",
            "shared.dll": b"shared library bytes\r\n",
            "sys.dll": b"system library bytes\r\n",
        }
        with open(os.path.join(BIN, "uninstall.exe"), "rb") as source:
            self.payload["uninstall.exe"] = source.read()
        with open(os.path.join(BIN, "regprobe.dll"), "rb") as source:
            self.payload["regprobe.dll"] = source.read()
        with zipfile.ZipFile(os.path.join(self.package.folder, "setup.zip"), "w", zipfile.ZIP_DEFLATED) as archive:
            for entry, data in self.payload.items():
                archive.writestr(entry, data)
        self.records = {
            "APPLICATION_FOLDERS": ["%AppDir%", "%AppDir%\\Data"],
            "APPLICATION_FILES": [
                "Program,app.exe,%AppDir%\\app.exe",
                "Readme,readme.txt,%AppDir%\\readme.txt",
                "Uninstaller,uninstall.exe,%AppDir%\\uninstall.exe",
                "Probe,regprobe.dll,%AppDir%\\regprobe.dll,2",
                "Absent,nosuch.txt,%AppDir%\\nosuch.txt",
            ],
            "SHARED_FOLDERS": [SHARED_DIR],
            "SHARED_FILES": ["Shared,shared.dll," + SHARED_DIR + "\\shared.dll,4"],
            "SYSTEM_FOLDERS": [SYSTEM_DIR],
            "SYSTEM_FILES": ["System,sys.dll," + SYSTEM_DIR + "\\sys.dll,4"],
            "REGISTRY_ENTRIES": [
                "key,HKLM,Software\\%ProductName% Keys",
                "key,HKLM,Software\\%ProductName% Keys\\Settings",
                "value,HKLM,Software\\%ProductName% Keys\\Settings,Path,s,%AppDir%",
                "value,HKLM,Software\\%ProductName% Keys\\Settings,Count,d,ff",
                "value,HKLM,Software\\%ProductName% Keys\\Settings,Bytes,b,01 0a FF",
                "key,HKXX,Software\\Nowhere",
            ],
            "FILE_TYPES": [".tvprobe,TelvaneProbe.Document,Telvane Probe Document,%AppDir%\\app.exe,"
                           "%AppDir%\\app.exe,1"],
            "SHORTCUTS": [
                "s,%AppSCFolder%\\Probe,%AppDir%\\app.exe,-probe now,%AppDir%\\app.exe,1,3,%AppDir%\\Data",
                "s,%AppSCFolder%\\Plain,%AppDir%\\readme.txt,,,4",
                "i,%AppDir%\\Probe Web,http://localhost/telvane",
                "x,%AppDir%\\Other,whatever",
            ],
            "INI_FILES": [INI_FILE + ",Probe,%ProductName%,%AppDir%"],
        }
        self.write_script()
        self.package.write("English.dat", crlf("[UNINSTALL_DIALOG]", *DIALOG) + crlf("[STRINGS]"))

    def write_script(self, lists=None, uninstaller="Y"):
        lines = ["[GENERAL_INFO]", "ProductName=" + self.name, "CompanyName=Velmora Probe", "ProductVersion=2.1",
                 "[SETUP_INFO]", "DefaultInstallationPath=" + self.app_dir, "DefaultShortcutFolderName=Probe Menu",
                 "EnableUninstaller=" + uninstaller, "AddRemoveProgramsDescription=" + self.name + " (probe)",
                 "[RUNAPPS]", "RunAfterInstall=yes",
                 "AfterInstall=%WinSysDir%\\cmd.exe,/c echo after>" + AFTER_MARKER,
                 "RunBeforeUninstall=yes",
                 "BeforeUninstall=%WinSysDir%\\cmd.exe,/c echo before>" + BEFORE_MARKER]
        for section, records in (self.records if lists is None else lists).items():
            lines.append("[%s]" % section)
            lines.extend(records)
        self.package.write("Setup.ini", crlf(*lines))

    def total(self):
        return sum(len(records) for records in self.records.values())

    def install(self, *args):
        result = run_wine([self.package.program] + list(args), cwd=self.package.folder, timeout=300)
        report = {"status": []}
        for line in result.stdout.splitlines():
            key, _, value = line.rstrip("\r").partition("|")
            if key == "status":
                report["status"].append(value)
            else:
                report[key] = value
        report["exit"] = result.returncode
        return report

    def cleanup(self):
        self.package.cleanup()


def uninstall(app_dir, *args, timeout=120):
    return run_wine([app_dir + "\\uninstall.exe"] + list(args), timeout=timeout)


def wait_until(condition, seconds=SETTLE_SECONDS):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.2)
    return condition()


def winctl(*args, timeout=60):
    result = run_wine([os.path.join(BIN, "winctl.exe")] + [str(a) for a in args], timeout=timeout)
    return result.returncode, result.stdout


class SequenceTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # A fresh prefix has no SharedDLLs key, and without it nothing is counted.
        reg("add", SHARED_DLLS)

    def setUp(self):
        self.products = []
        for left in ("C:\\Telvane Probe", "C:\\Telvane Second", SHARED_DIR, SYSTEM_DIR):
            remove(left)

    def tearDown(self):
        for product in self.products:
            product.cleanup()
        for path in (INI_FILE, AFTER_MARKER, BEFORE_MARKER):
            remove(path)

    def product(self, name, app_dir):
        product = Product(name, app_dir)
        self.products.append(product)
        return product

    def shortcut_folder(self):
        log = read("C:\\Telvane Probe\\setup.log").decode("latin-1").split("\r\n")
        folders = log[log.index("[APPFOLDERS]") + 1:log.index("[APPDIR]")]
        return [f for f in folders if f.endswith("\\Probe Menu")][0]

    def check_installation(self, product, report):
        app = product.app_dir
        self.assertEqual(report["exit"], 0, report)
        self.assertEqual(report["done"], "1")
        self.assertEqual(report["range"], "0|%d" % product.total())
        self.assertEqual(report["steps"], str(product.total()))
        self.assertEqual(report["position"], str(product.total()))
        status = report["status"]
        self.assertEqual(status[0], "")
        self.assertIn(app + "\\app.exe", status)
        self.assertLess(status.index(app + "\\app.exe"), status.index("Create registry keys"))
        self.assertEqual(status[status.index("Create registry keys"):], ["Create registry keys", "Create shortcuts",
                                                                         "", ""])

        for entry, target in (("app.exe", app + "\\app.exe"), ("readme.txt", app + "\\readme.txt"),
                              ("uninstall.exe", app + "\\uninstall.exe"), ("regprobe.dll", app + "\\regprobe.dll"),
                              ("shared.dll", SHARED_DIR + "\\shared.dll"), ("sys.dll", SYSTEM_DIR + "\\sys.dll")):
            self.assertEqual(read(target), product.payload[entry], target)
        self.assertFalse(exists(app + "\\nosuch.txt"))
        self.assertEqual(read(AFTER_MARKER).strip(), b"after")

        hklm = export_registry("HKEY_LOCAL_MACHINE\\Software")
        own = hklm["hkey_local_machine\\software\\%s keys\\settings" % product.name.lower()]
        self.assertEqual(own["path"], '"%s"' % app.replace("\\", "\\\\"))
        self.assertEqual(own["count"], "dword:000000ff")
        self.assertEqual(own["bytes"], "hex:01,0a,ff")
        classes = "hkey_local_machine\\software\\classes\\"
        self.assertEqual(hklm[classes + ".tvprobe"]["@"], '"TelvaneProbe.Document"')
        self.assertEqual(hklm[classes + "telvaneprobe.document"]["@"], '"Telvane Probe Document"')
        self.assertEqual(hklm[classes + "telvaneprobe.document\\shell\\open\\command"]["@"],
                         '"%s\\\\app.exe"' % app.replace("\\", "\\\\"))
        self.assertEqual(hklm[classes + "telvaneprobe.document\\defaulticon"]["@"],
                         '"%s\\\\app.exe,1"' % app.replace("\\", "\\\\"))
        uninstall_key = hklm[(UNINSTALL + product.name).lower()]
        self.assertEqual(uninstall_key["displayname"], '"%s (probe)"' % product.name)
        self.assertEqual(uninstall_key["uninstallstring"], '"\\"%s\\\\uninstall.exe\\""' % app.replace("\\", "\\\\"))
        user_data = hklm[(USER_DATA + "\\Velmora Probe\\" + product.name + "\\2.1").lower()]
        self.assertEqual(user_data["appdir"], '"%s"' % app.replace("\\", "\\\\"))
        self.assertEqual(user_data["installerversion"], '"1.4.7"')
        self.assertIn("appshortcutfolder", user_data)
        self.assertEqual(user_data["installsource"], '"%s"' % windows_path(product.package.folder).replace("\\", "\\\\"))
        hkcu = export_registry("HKEY_CURRENT_USER\\Software\\TelvaneRegProbe")
        self.assertEqual(hkcu["hkey_current_user\\software\\telvaneregprobe"]["registered"],
                         '"%s\\\\regprobe.dll"' % app.replace("\\", "\\\\"))

        menu = self.shortcut_folder()
        link = lnkinfo(menu + "\\Probe.lnk")
        self.assertEqual(link.get("Local path"), app + "\\app.exe")
        self.assertEqual(link.get("Command line arguments"), "-probe now")
        self.assertEqual(link.get("Working directory"), app + "\\Data")
        self.assertEqual(link.get("Icon location"), app + "\\app.exe")
        plain = lnkinfo(menu + "\\Plain.lnk")
        self.assertEqual(plain.get("Local path"), app + "\\readme.txt")
        self.assertNotIn("Icon location", plain)
        self.assertNotIn("Command line arguments", plain)
        self.assertEqual(read(app + "\\Probe Web.url"), b"[InternetShortcut]\r\nURL=http://localhost/telvane\r\n")
        self.assertFalse(exists(app + "\\Other.lnk") or exists(app + "\\Other.url"))
        self.assertIn(b"[Probe]\r\n" + product.name.encode() + b"=" + app.encode(), read(INI_FILE))

        self.assertEqual(read(app + "\\error.log"), crlf("Invalid major key:HKXX", "Unknown link type:x"))
        regentry = ["HKLM,Software\\%s Keys" % product.name, "HKLM,Software\\%s Keys\\Settings" % product.name,
                    "HKCR,.tvprobe", "HKCR,TelvaneProbe.Document", "HKCR,TelvaneProbe.Document\\shell\\open\\command",
                    "HKCR,TelvaneProbe.Document\\DefaultIcon",
                    "HKLM,SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + product.name,
                    "HKLM,SOFTWARE\\Ostrel\\Stowpack\\UserData\\Velmora Probe",
                    "HKLM,SOFTWARE\\Ostrel\\Stowpack\\UserData\\Velmora Probe\\" + product.name,
                    "HKLM,SOFTWARE\\Ostrel\\Stowpack\\UserData\\Velmora Probe\\" + product.name + "\\2.1"]
        expected = expected_log(
            ["Application_Name=" + product.name] + DIALOG + [""] * (13 - len(DIALOG)),
            {"SHAREDFILES": [SHARED_DIR + "\\shared.dll"],
             "STDFILES": [SYSTEM_DIR + "\\sys.dll"],
             "APPFILES": [app + "\\setup.log", app + "\\app.exe", app + "\\readme.txt", app + "\\uninstall.exe",
                          app + "\\regprobe.dll", menu + "\\Probe.lnk", menu + "\\Plain.lnk",
                          app + "\\Probe Web.url", app + "\\error.log"],
             "APPFOLDERS": [SHARED_DIR, SYSTEM_DIR, menu],
             "APPDIR": [app, app + "\\Data"],
             "REGENTRY": regentry,
             "REGDLLS": [app + "\\regprobe.dll"],
             "RUNAPPS": ["BeforeUninstall=C:\\windows\\system32\\cmd.exe,/c echo before>" + BEFORE_MARKER]})
        self.assertEqual(read(app + "\\setup.log").decode("latin-1"), expected.decode("latin-1"))

    def shared_count(self, name):
        values = export_registry("HKEY_LOCAL_MACHINE\\" + SHARED_DLLS[5:])
        return values[("HKEY_LOCAL_MACHINE\\" + SHARED_DLLS[5:]).lower()].get(name.lower())

    def assert_only_lasting_changes(self, before, after, shared_values):
        files_before, registry_before = before
        files_after, registry_after = after
        self.assertEqual(sorted(files_before - files_after), [])
        self.assertEqual(sorted(files_after - files_before), [INI_FILE[3:].lower()])
        added, gone, changed = registry_changes(registry_before, registry_after)
        self.assertEqual(gone, [])
        self.assertEqual(added, [])
        shared_key = ("HKEY_LOCAL_MACHINE\\" + SHARED_DLLS[5:]).lower()
        self.assertEqual(list(changed), [shared_key])
        self.assertEqual({k: v for k, v in changed[shared_key][1].items() if k not in changed[shared_key][0]},
                         shared_values)

    def test_install_then_silent_removal(self):
        before = snapshot()
        product = self.product("Telvane Probe", "C:\\Telvane Probe")
        self.check_installation(product, product.install())
        self.assertEqual(self.shared_count(SHARED_DIR + "\\shared.dll"), "dword:00000001")
        menu = self.shortcut_folder()

        remove(AFTER_MARKER)
        result = uninstall(product.app_dir, "/S")
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertEqual(read(BEFORE_MARKER).strip(), b"before")
        remove(BEFORE_MARKER)
        self.assertTrue(wait_until(lambda: not exists(product.app_dir)), "the program's folder stays")
        for gone in (SHARED_DIR, SYSTEM_DIR, menu):
            self.assertFalse(exists(gone), gone)
        self.assert_only_lasting_changes(before, snapshot(), {
            (SHARED_DIR + "\\shared.dll").lower(): "dword:00000000",
            (SYSTEM_DIR + "\\sys.dll").lower(): "dword:00000000"})
        reg("delete", SHARED_DLLS, "/v", SHARED_DIR + "\\shared.dll")
        reg("delete", SHARED_DLLS, "/v", SYSTEM_DIR + "\\sys.dll")

    def test_shared_file_of_two_products_and_a_file_the_user_added(self):
        before = snapshot()
        first = self.product("Telvane Probe", "C:\\Telvane Probe")
        second = self.product("Telvane Second", "C:\\Telvane Second")
        self.assertEqual(first.install()["done"], "1")
        self.assertEqual(second.install()["done"], "1")
        self.assertEqual(self.shared_count(SHARED_DIR + "\\shared.dll"), "dword:00000002")
        with open(unix_path(first.app_dir + "\\Data\\notes.txt"), "wb") as notes:
            notes.write(b"mine\r\n")

        # The first product is removed through its boxes, as a user would.
        remover = subprocess.Popen([WINE_RUN, first.app_dir + "\\uninstall.exe"], stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            self.assertEqual(winctl("wait", DIALOG[0], 30000)[0], 0)
            code, texts = winctl("texts", DIALOG[0])
            self.assertEqual(code, 0)
            for line in ["Telvane Probe"] + DIALOG[1:]:
                self.assertIn(line, texts)
            self.assertEqual(winctl("press", DIALOG[0], 6)[0], 0)
            self.assertTrue(wait_until(lambda: b"removed, but" in winctl("texts", DIALOG[0])[1].encode("latin-1")))
            report = winctl("texts", DIALOG[0])[1]
            self.assertIn(first.app_dir + "\\Data", report)
            self.assertIn(SHARED_DIR, report)
            self.assertNotIn("notes.txt", report)
            self.assertEqual(winctl("press", DIALOG[0], 1)[0], 0)
            self.assertEqual(remover.wait(timeout=60), 1)
        finally:
            if remover.poll() is None:
                remover.kill()
        self.assertEqual(read(first.app_dir + "\\Data\\notes.txt"), b"mine\r\n")
        self.assertTrue(wait_until(lambda: not exists(first.app_dir + "\\uninstall.exe")))
        self.assertEqual(sorted(os.listdir(unix_path(first.app_dir))), ["Data"])
        self.assertEqual(read(SHARED_DIR + "\\shared.dll"), first.payload["shared.dll"])
        self.assertEqual(self.shared_count(SHARED_DIR + "\\shared.dll"), "dword:00000001")

        self.assertEqual(uninstall(second.app_dir, "/S").returncode, 0)
        self.assertTrue(wait_until(lambda: not exists(second.app_dir)))
        self.assertEqual(self.shared_count(SHARED_DIR + "\\shared.dll"), "dword:00000000")
        # The shared folders were made by the first product, and only its log lists them; they
        # still held the counted files when it went.
        for folder in (SHARED_DIR, SYSTEM_DIR):
            self.assertEqual(os.listdir(unix_path(folder)), [], folder)
            remove(folder)
        remove(first.app_dir)
        remove(AFTER_MARKER)
        remove(BEFORE_MARKER)
        self.assert_only_lasting_changes(before, snapshot(), {
            (SHARED_DIR + "\\shared.dll").lower(): "dword:00000000",
            (SYSTEM_DIR + "\\sys.dll").lower(): "dword:00000000"})
        reg("delete", SHARED_DLLS, "/v", SHARED_DIR + "\\shared.dll")
        reg("delete", SHARED_DLLS, "/v", SYSTEM_DIR + "\\sys.dll")

    def test_imitation_leaves_nothing_but_runs_the_after_program(self):
        before = snapshot()
        product = self.product("Telvane Probe", "C:\\Telvane Probe")
        report = product.install("-i")
        self.assertEqual(report["done"], "1")
        self.assertEqual(report["range"], "0|%d" % product.total())
        self.assertEqual(report["steps"], str(product.total()))
        self.assertEqual(report["status"], ["", "Create registry keys", "Create shortcuts", "", ""])
        self.assertEqual(read(AFTER_MARKER).strip(), b"after")
        remove(AFTER_MARKER)
        files, registry = snapshot()
        self.assertEqual(files, before[0])
        self.assertEqual(registry_changes(before[1], registry), ([], [], {}))

    def test_package_that_cannot_be_opened(self):
        product = self.product("Telvane Probe", "C:\\Telvane Probe")
        product.package.write("setup.zip", b"PK\x03\x04 this is no archive" * 10)
        report = product.install()
        self.assertEqual(report["done"], "1")
        self.assertEqual(report["ended"], "1")
        self.assertEqual(report["range"], "0|%d" % product.total())
        self.assertEqual(report["steps"], "0")
        self.assertEqual(report["status"], [""])
        self.assertFalse(exists(product.app_dir))
        self.assertFalse(exists(AFTER_MARKER))
        self.assertNotIn((UNINSTALL + product.name).lower(), export_registry("HKEY_LOCAL_MACHINE\\Software"))

    def test_script_without_any_list(self):
        for enabled in ("Y", "N"):
            with self.subTest(EnableUninstaller=enabled):
                folder = tempfile.mkdtemp(dir=SESSION)
                product = self.product("Telvane Empty", windows_path(folder))
                product.write_script(lists={}, uninstaller=enabled)
                report = product.install()
                self.assertEqual(report["exit"], 0, report)
                self.assertEqual((report["done"], report["range"], report["steps"]), ("1", "0|0", "0"))
                hklm = export_registry("HKEY_LOCAL_MACHINE\\Software")
                self.assertEqual((UNINSTALL + "Telvane Empty").lower() in hklm, enabled == "Y")
                self.assertIn((USER_DATA + "\\Velmora Probe\\Telvane Empty\\2.1").lower(), hklm)
                key = "HKLM,SOFTWARE\\Ostrel\\Stowpack\\UserData\\Velmora Probe"
                regentry = [key, key + "\\Telvane Empty", key + "\\Telvane Empty\\2.1"]
                if enabled == "Y":
                    regentry.insert(0, "HKLM,SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Telvane Empty")
                with open(os.path.join(folder, "setup.log"), "rb") as log:
                    self.assertEqual(log.read(), expected_log(
                        ["Application_Name=Telvane Empty"] + DIALOG + [""] * (13 - len(DIALOG)),
                        {"APPFILES": [product.app_dir + "\\setup.log"], "REGENTRY": regentry,
                         "RUNAPPS": ["BeforeUninstall=C:\\windows\\system32\\cmd.exe,/c echo before>" + BEFORE_MARKER]}))
                shutil.rmtree(folder, ignore_errors=True)
                if enabled == "Y":
                    reg("delete", "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Telvane Empty")
                reg("delete", "HKLM\\Software\\Ostrel")

    def test_ending_the_program_mid_installation_leaves_whole_files_and_log(self):
        product = self.product("Telvane Probe", "C:\\Telvane Probe")
        generator = random.Random(7)
        big = {"big%02d.bin" % n: generator.randbytes(256 * 1024) for n in range(24)}
        with zipfile.ZipFile(os.path.join(product.package.folder, "setup.zip"), "a", zipfile.ZIP_STORED) as archive:
            for entry, data in big.items():
                archive.writestr(entry, data)
        product.records["APPLICATION_FILES"] = ["Big,%s,%%AppDir%%\\%s" % (e, e) for e in sorted(big)]
        product.write_script()
        report = product.install("--stop-after", "400")
        self.assertEqual((report["exit"], report["done"], report["ended"]), (0, "1", "1"))
        steps = int(report["steps"])
        self.assertLess(steps, product.total())
        log = read(product.app_dir + "\\setup.log").decode("latin-1").split("\r\n")
        listed = log[log.index("[APPFILES]") + 1:log.index("[APPFOLDERS]")]
        installed = sorted(os.listdir(unix_path(product.app_dir)))
        self.assertEqual(sorted(p.rsplit("\\", 1)[1] for p in listed), sorted(n for n in installed if n != "Data"))
        for name in installed:
            if name in big:
                self.assertEqual(read(product.app_dir + "\\" + name), big[name], name)
        self.assertNotIn((UNINSTALL + product.name).lower(), export_registry("HKEY_LOCAL_MACHINE\\Software"))
        self.assertFalse(exists(AFTER_MARKER))
        remove(product.app_dir)


class DamagedLogTest(unittest.TestCase):
    """uninstall.exe beside a setup.log that is missing, cut short or odd: it removes only what is listed."""

    FOLDER = "C:\\Telvane Damaged"

    def setUp(self):
        remove(self.FOLDER)
        os.makedirs(unix_path(self.FOLDER + "\\Sub\\Deeper"))
        shutil.copy(os.path.join(BIN, "uninstall.exe"), unix_path(self.FOLDER + "\\uninstall.exe"))
        for name in ("listed.txt", "other.txt", "Sub\\inner.txt", "Sub\\Deeper\\deep.txt"):
            with open(unix_path(self.FOLDER + "\\" + name), "wb") as out:
                out.write(b"x")

    def tearDown(self):
        remove(self.FOLDER)

    def write_log(self, data):
        with open(unix_path(self.FOLDER + "\\setup.log"), "wb") as out:
            out.write(data)

    def tree(self):
        found = []
        for root, dirs, names in os.walk(unix_path(self.FOLDER)):
            found += [os.path.relpath(os.path.join(root, n), unix_path(self.FOLDER)) for n in dirs + names]
        return sorted(found)

    def log(self, appfiles, appdir, extra=""):
        return expected_log(["Application_Name=Damaged"] + [""] * 13,
                            {"APPFILES": appfiles, "APPDIR": appdir}) + extra.encode("latin-1")

    def test_missing_or_cut_logs_remove_nothing(self):
        whole = self.log([self.FOLDER + "\\listed.txt"], [self.FOLDER])
        cases = [
            ("missing", None),
            ("empty", b""),
            ("cut in a line", whole[:whole.index(b"listed.txt") + 4]),
            ("headers missing", whole[:whole.index(b"[REGENTRY]")]),
            ("no line end", whole[:-2]),
            ("no common", whole[whole.index(b"[SHAREDFILES]"):]),
            ("binary", b"\x00\x01\x02" * 100),
        ]
        before = self.tree()
        for name, data in cases:
            with self.subTest(name):
                if data is None:
                    remove(self.FOLDER + "\\setup.log")
                else:
                    self.write_log(data)
                result = uninstall(self.FOLDER, "/S")
                self.assertEqual(result.returncode, 2)
                self.assertEqual([p for p in self.tree() if p != "setup.log"], [p for p in before if p != "setup.log"])

    def test_box_for_a_damaged_log(self):
        self.write_log(b"[COMMON]\r\nApplication_Name=Damaged\r\n[APPFILES]\r\nC:\\x")
        remover = subprocess.Popen([WINE_RUN, self.FOLDER + "\\uninstall.exe"], stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            self.assertEqual(winctl("wait", "Uninstall", 30000)[0], 0)
            texts = winctl("texts", "Uninstall")[1]
            self.assertIn("is damaged", texts)
            self.assertIn("Nothing was removed.", texts)
            self.assertEqual(winctl("press", "Uninstall", 1)[0], 0)
            self.assertEqual(remover.wait(timeout=60), 2)
        finally:
            if remover.poll() is None:
                remover.kill()
        self.assertIn("listed.txt", self.tree())

    def test_only_what_is_listed_and_never_a_whole_tree(self):
        extra = "[EXTRA]\r\n" + self.FOLDER + "\\other.txt\r\n"
        log = self.log([self.FOLDER + "\\setup.log", self.FOLDER + "\\listed.txt", "other.txt", "Sub\\inner.txt",
                        self.FOLDER + "\\never-there.txt"],
                       [self.FOLDER, self.FOLDER + "\\Sub"], extra)
        self.write_log(log)
        result = uninstall(self.FOLDER, "/S")
        self.assertEqual(result.returncode, 1)
        self.assertEqual(self.tree(), ["Sub", os.path.join("Sub", "Deeper"), os.path.join("Sub", "Deeper", "deep.txt"),
                                       os.path.join("Sub", "inner.txt"), "other.txt", "uninstall.exe"])


class SelfRemovalTest(unittest.TestCase):
    """The temporary copy that takes the uninstaller away where a running program's file cannot go."""

    FOLDER = "C:\\Telvane Self"

    def setUp(self):
        # A name of its own per test: Wine may still hold the image of a program just ended.
        self.COPY = "C:\\Telvane Copy\\Uninstall-%d.exe" % (hash(self._testMethodName) % 100000)
        for path in (self.FOLDER, "C:\\Telvane Copy"):
            remove(path)
            os.makedirs(unix_path(path))
        shutil.copy(os.path.join(BIN, "uninstall.exe"), unix_path(self.COPY))
        with open(unix_path(self.FOLDER + "\\uninstall.exe"), "wb") as out:
            out.write(b"MZ stand-in for the installed uninstaller")

    def tearDown(self):
        for path in (self.FOLDER, "C:\\Telvane Copy"):
            remove(path)

    def test_copy_removes_the_program_and_its_folder(self):
        # No process has this id, so the copy does not wait.
        result = run_wine([self.COPY, "/cleanup", "4294967", self.FOLDER + "\\uninstall.exe", self.FOLDER])
        self.assertEqual(result.returncode, 0)
        self.assertFalse(exists(self.FOLDER))
        # It cannot take its own file away; that is left to the next restart.
        self.assertTrue(exists(self.COPY))

    def test_a_program_that_cannot_go_keeps_its_folder(self):
        # A read-only file stands for one that stays in use: every try to delete it fails.
        os.chmod(unix_path(self.FOLDER + "\\uninstall.exe"), 0o444)
        result = run_wine([self.COPY, "/cleanup", "4294967", self.FOLDER + "\\uninstall.exe", self.FOLDER])
        self.assertEqual(result.returncode, 1)
        self.assertTrue(exists(self.FOLDER + "\\uninstall.exe"))


if __name__ == "__main__":
    unittest.main(verbosity=2)
