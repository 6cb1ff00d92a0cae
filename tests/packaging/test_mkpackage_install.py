"""A folder packaged by mkpackage.py and installed by the real setup.exe under Wine: files from
sub-folders of setup.zip, targets with blanks, a counted shared library and an unlogged file
land where the description put them."""
import os
import shutil
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import suite  # noqa: E402
from suite import SHARED_DLLS_KEY, reg_value, run_in, t  # noqa: E402
from test_mkpackage import Workspace  # noqa: E402

SCRIPT = ("[GENERAL_INFO]\nProductName=MkpackageSample\nCompanyName=Velmora\nProductVersion=@VERSION@\n"
          "[SETUP_INFO]\nEnableUninstaller=No\nSetupType=1\n"
          "DefaultInstallationPath=%ProgramFiles%\\Mkpackage Sample\n")
APP_DIR = "C:\\Program Files\\Mkpackage Sample"
USERDATA = r"HKLM\SOFTWARE\Ostrel\Stowpack\UserData\Velmora\MkpackageSample"


class PackagedFolderInstalled(unittest.TestCase):
    def setUp(self):
        self.ws = Workspace()
        shutil.copy(os.path.join(t.BIN, "setup.exe"), os.path.join(self.ws.built, "setup.exe"))
        self.ws.source_file("Setup.ini.in", SCRIPT)
        self.run_ = suite.Run.__new__(suite.Run)
        self.run_.prefix = suite.Run._session_prefix()
        self.folder = self.run_.unix_path(APP_DIR)
        if t.wine("reg", "query", SHARED_DLLS_KEY, check=False).returncode != 0:
            t.wine("reg", "add", SHARED_DLLS_KEY, "/f")

    def tearDown(self):
        shutil.rmtree(self.folder, ignore_errors=True)
        t.reg_delete_key(USERDATA)
        t.wine("reg", "delete", SHARED_DLLS_KEY, "/v", APP_DIR + "\\lib.dll", "/f", check=False)
        self.ws.cleanup()

    def test_installed_where_described(self):
        result = self.ws.run(
            "application prog.exe %AppDir%\\prog.exe\n"
            "application doc\\guide.txt \"%AppDir%\\Read Me\\guide.txt\" unlogged\n"
            "shared lib.dll %AppDir%\\lib.dll count replace=version-or-time\n")
        self.assertEqual(result.returncode, 0, result.stderr)
        done = run_in(self.ws.out, "setup.exe", timeout=120)
        self.assertEqual(done.returncode, 0, done.stdout)

        for name, target in (("prog.exe", "prog.exe"), ("doc/guide.txt", "Read Me/guide.txt"), ("lib.dll", "lib.dll")):
            with open(os.path.join(self.folder, target), "rb") as f:
                self.assertEqual(f.read(), ("contents of %s\n" % name).encode(), target)
        self.assertEqual(reg_value(SHARED_DLLS_KEY, APP_DIR + "\\lib.dll"), "0x1")
        with open(os.path.join(self.folder, "setup.log"), "rb") as f:
            log = f.read().decode("cp1252").split("\r\n")
        self.assertIn(APP_DIR + "\\prog.exe", log)
        self.assertIn(APP_DIR + "\\lib.dll", log[log.index("[SHAREDFILES]"):log.index("[STDFILES]")])
        self.assertNotIn(APP_DIR + "\\Read Me\\guide.txt", log, "an unlogged file was logged")
        self.assertIn(APP_DIR + "\\Read Me", log[log.index("[APPDIR]"):log.index("[REGENTRY]")])


if __name__ == "__main__":
    unittest.main(verbosity=2)
