"""Folder variables from the real Wine registry and shell folders, on Windows 98 and XP."""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from setup_harness import Package, crlf, make_zip, run_wine  # noqa: E402

PER_USER = ["Desktop", "StartUp", "StartMenu", "StartMenuPrograms", "AppSCFolder"]
COMMON = ["CommonDesktop", "CommonStartUp", "CommonStartMenu", "CommonStartMenuPrograms", "CommonAppSCFolder"]
OTHERS = ["ProgramFiles", "CommonFiles", "SetupDir", "WinDir", "WinSysDir", "TempDir", "AppDir"]
VERSION_KEY = "HKCU\\Software\\Wine\\AppDefaults\\setup_context_probe.exe"


def probe(package, env=None, changes=()):
    # setup.zip is looked up in the current folder.
    result = run_wine([package.program] + list(changes) + PER_USER + COMMON + OTHERS, env=env,
                      cwd=package.folder)
    values = {}
    for line in result.stdout.splitlines():
        name, _, value = line.rstrip("\r").partition("=")
        values[name] = value
    return values


def reg(args, env=None):
    result = run_wine(["reg"] + args + ["/f"], env=env)
    assert result.returncode == 0, result.stdout + result.stderr


class FolderVariables(unittest.TestCase):
    def setUp(self):
        self.package = Package("setup_context_probe.exe")
        self.package.write("Setup.ini", crlf("[SETUP_INFO]", "DefaultShortcutFolderName=Telvane",
                                             "DefaultInstallationPath=%ProgramFiles%\\Telvane"))
        self.package.write("English.dat", crlf("[STRINGS]"))
        make_zip(os.path.join(self.package.folder, "setup.zip"))

    def tearDown(self):
        self.package.cleanup()

    def test_common_folders_follow_the_windows_platform(self):
        try:
            for version, platform, nt in (("win98", "1.4.10", False), ("winxp", "2.5.1", True)):
                with self.subTest(version=version):
                    reg(["add", VERSION_KEY, "/v", "Version", "/d", version])
                    values = probe(self.package)
                    self.assertEqual(values.get("version"), platform)
                    for user, common in zip(PER_USER, COMMON):
                        self.assertTrue(values[user], user)
                        if nt:
                            self.assertNotEqual(values[user], values[common], common)
                        else:
                            self.assertEqual(values[user], values[common], common)
                    self.assertTrue(values["AppSCFolder"].endswith("\\Telvane"))
                    self.assertEqual(values["AppSCFolder"], values["StartMenuPrograms"] + "\\Telvane")
                    self.assertTrue(values["TempDir"].endswith("\\"))
                    self.assertEqual(values["AppDir"], values["ProgramFiles"] + "\\Telvane")
                    self.assertEqual(values["SetupDir"].lower(),
                                     ("Z:" + self.package.folder.replace("/", "\\")).lower())
        finally:
            run_wine(["reg", "delete", VERSION_KEY, "/f"])


class ProgramFilesFromTheRegistry(unittest.TestCase):
    """Changes HKLM, so it works on a copy of the session's prefix."""

    def setUp(self):
        self.prefix = tempfile.mkdtemp(prefix="setup-prefix-", dir=os.environ["TELVANE_SESSION"])
        shutil.rmtree(self.prefix)
        shutil.copytree(os.path.join(os.environ["TELVANE_SESSION"], "prefix"), self.prefix, symlinks=True)
        self.env = {"TELVANE_WINEPREFIX": self.prefix}
        self.package = Package("setup_context_probe.exe")
        self.package.write("Setup.ini", crlf("[SETUP_INFO]"))
        self.package.write("English.dat", crlf("[STRINGS]"))
        make_zip(os.path.join(self.package.folder, "setup.zip"))

    def tearDown(self):
        env = dict(os.environ, WINEPREFIX=self.prefix)
        subprocess.run(["wineserver", "-k"], env=env, capture_output=True)
        self.package.cleanup()
        shutil.rmtree(self.prefix, ignore_errors=True)

    def test_value_and_fallbacks(self):
        common = ["--set", "CommonFilesDir", "sz", "D:\\Gemeinsam"]
        cases = [
            (["--set", "ProgramFilesDir", "sz", "D:\\Programme"] + common, "D:\\Programme", "D:\\Gemeinsam"),
            (["--set", "ProgramFilesDir", "dword", "7"] + common, "7", "D:\\Gemeinsam"),
            (["--set", "ProgramFilesDir", "binary", "AB"] + common, "C:\\Program Files", "D:\\Gemeinsam"),
            (["--set", "ProgramFilesDir", "multi", "D:\\a"] + common, "C:\\Program Files", "D:\\Gemeinsam"),
            (["--set", "ProgramFilesDir", "sz", "D:\\P"] + ["--set", "CommonFilesDir", "dword", "7"],
             "D:\\P", "\x07"),
            (["--delete", "ProgramFilesDir", "--delete", "CommonFilesDir"],
             "C:\\Program Files", "C:\\Program Files\\Common Files"),
        ]
        for changes, expected, common_files in cases:
            with self.subTest(changes=changes):
                values = probe(self.package, env=self.env, changes=changes)
                self.assertEqual(values.get("ProgramFiles"), expected)
                self.assertEqual(values.get("CommonFiles"), common_files)


if __name__ == "__main__":
    unittest.main(verbosity=2)
