"""setup.exe under Wine: the before-install program runs before the window, and setup.log is
written at the end of the program, where a failure to write it is the frame's failure box."""
import os
import shutil
import sys
import unittest
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from setup_harness import Package, crlf, run_setup  # noqa: E402

DRIVE_C = os.path.join(os.environ["TELVANE_SESSION"], "prefix", "drive_c")
ENGLISH = crlf("[UNINSTALL_DIALOG]", "Title=Remove", "[STRINGS]", "1=Setup")


class SetupLogAtTheEnd(unittest.TestCase):
    def setUp(self):
        self.package = Package("setup.exe")
        self.package.write("English.dat", ENGLISH)
        with zipfile.ZipFile(os.path.join(self.package.folder, "setup.zip"), "w", zipfile.ZIP_DEFLATED) as archive:
            archive.writestr("readme.txt", b"Read me\r\n")
        self.app = os.path.join(DRIVE_C, "logframe", "App")
        shutil.rmtree(os.path.join(DRIVE_C, "logframe"), ignore_errors=True)

    def tearDown(self):
        self.package.cleanup()
        shutil.rmtree(os.path.join(DRIVE_C, "logframe"), ignore_errors=True)

    def write_script(self, *extra):
        self.package.write("Setup.ini", crlf(
            "[GENERAL_INFO]", "ProductName=Log Frame", "CompanyName=Velmora", "ProductVersion=1.0", "[SETUP_INFO]", "SetupType=1",
            "DefaultInstallationPath=C:\\logframe\\App", "EnableUninstaller=N",
            "[APPLICATION_FOLDERS]", "%AppDir%", "[APPLICATION_FILES]", "Readme,readme.txt,%AppDir%\\readme.txt",
            *extra))

    def test_log_written_when_the_program_ends(self):
        self.write_script()
        boxes, _, code = run_setup(self.package)
        self.assertEqual(boxes, [])
        self.assertEqual(code, 0)
        with open(os.path.join(self.app, "setup.log"), "rb") as log:
            self.assertEqual(log.read(), crlf(
                "[COMMON]", "Application_Name=Log Frame", "Title=Remove", *([""] * 12),
                "[SHAREDFILES]", "[STDFILES]", "[APPFILES]", "C:\\logframe\\App\\readme.txt",
                "C:\\logframe\\App\\setup.log", "[APPFOLDERS]", "[APPDIR]", "C:\\logframe\\App", "C:\\logframe",
                "[REGENTRY]", "HKLM,SOFTWARE\\Ostrel\\Stowpack\\UserData\\Velmora\\Log Frame\\1.0",
                "HKLM,SOFTWARE\\Ostrel\\Stowpack\\UserData\\Velmora\\Log Frame",
                "HKLM,SOFTWARE\\Ostrel\\Stowpack\\UserData\\Velmora", "[REGDLLS]", "[RUNAPPS]"))

    def test_log_that_cannot_be_written_is_the_disk_is_full_box(self):
        self.write_script()
        # A folder where setup.log should go: the file cannot be created.
        os.makedirs(os.path.join(self.app, "setup.log"))
        boxes, _, code = run_setup(self.package)
        self.assertEqual(boxes, [("Error", 'The disk is full: "C:\\logframe\\App\\setup.log"')])
        self.assertEqual(code, -1)
        self.assertTrue(os.path.exists(os.path.join(self.app, "readme.txt")))

    def test_before_install_program_runs_before_the_installation(self):
        marker = "C:\\logframe\\before.txt"
        os.makedirs(os.path.join(DRIVE_C, "logframe"))
        self.write_script("[RUNAPPS]", "RunBeforeInstall=1",
                          "BeforeInstall=%WinSysDir%\\cmd.exe,/c ping -n 2 127.0.0.1 >nul & dir /b %AppDir% >"
                          + marker)
        boxes, _, code = run_setup(self.package)
        self.assertEqual((boxes, code), ([], 0))
        # It was waited for, and the folder it listed was not there yet: empty listing.
        with open(os.path.join(DRIVE_C, "logframe", "before.txt"), "rb") as listing:
            self.assertEqual(listing.read().strip(), b"")
        self.assertTrue(os.path.exists(os.path.join(self.app, "readme.txt")))


if __name__ == "__main__":
    unittest.main(verbosity=2)
