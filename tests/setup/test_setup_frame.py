"""setup.exe under Wine: one failure box per failure with exit code -1, and the command line."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from setup_harness import Package, crlf, make_zip, run_setup, windows_path  # noqa: E402

ENGLISH = crlf("[WELCOME_DIALOG]", "Dialog_Title=Welcome", "[STRINGS]", "1=Setup")
# The window title shows what the command line did.
TITLE_SCRIPT = crlf("[GENERAL_INFO]", "ProductName=Telvane", "[DIALOGS]", "SetupWindow=Y",
                    "[SETUP_WINDOW]", "WindowTitle=%SourceDir%|%Imitation%|%ProductName%")


class FailureBoxes(unittest.TestCase):
    def setUp(self):
        self.package = Package("setup.exe")

    def tearDown(self):
        self.package.cleanup()

    def expect_box(self, caption, text, cwd=None):
        boxes, windows, code = run_setup(self.package, cwd=cwd)
        self.assertEqual(boxes, [(caption, text)])
        self.assertEqual(windows, [])
        self.assertEqual(code, -1)

    def test_missing_script(self):
        self.package.write("English.dat", ENGLISH)
        make_zip(os.path.join(self.package.folder, "setup.zip"))
        self.expect_box("Error", 'Can not open file: "Setup.ini"')

    def test_missing_language_file(self):
        self.package.write("Setup.ini", crlf("[GENERAL_INFO]", "ProductName=Telvane"))
        make_zip(os.path.join(self.package.folder, "setup.zip"))
        self.expect_box("Error", 'Can not open file: "English.dat"')

    def test_missing_chosen_language_file(self):
        self.package.write("Setup.ini", crlf("[SETUP_INFO]", "DefaultSetupLanguage=German"))
        self.package.write("English.dat", ENGLISH)
        make_zip(os.path.join(self.package.folder, "setup.zip"))
        self.expect_box("Error", 'Can not open file: "German.dat"')

    def test_missing_package(self):
        self.package.write("Setup.ini", crlf("[GENERAL_INFO]", "ProductName=Telvane"))
        self.package.write("English.dat", ENGLISH)
        self.expect_box("Error", 'File not found: "setup.zip"')

    def test_package_is_looked_up_in_the_current_folder(self):
        self.package.write("Setup.ini", crlf("[GENERAL_INFO]", "ProductName=Telvane"))
        self.package.write("English.dat", ENGLISH)
        make_zip(os.path.join(self.package.folder, "setup.zip"))
        elsewhere = os.path.join(self.package.folder, "elsewhere")
        os.mkdir(elsewhere)
        self.expect_box("Error", 'File not found: "setup.zip"', cwd=elsewhere)


class CommandLine(unittest.TestCase):
    def setUp(self):
        self.package = Package("setup.exe")
        self.package.write("English.dat", ENGLISH)
        make_zip(os.path.join(self.package.folder, "setup.zip"))
        self.folder = windows_path(self.package.folder)

    def tearDown(self):
        self.package.cleanup()

    def title_for(self, args, script=TITLE_SCRIPT):
        self.package.write("Setup.ini", script)
        boxes, windows, code = run_setup(self.package, args)
        self.assertEqual(boxes, [])
        self.assertEqual(code, 0)
        self.assertEqual(len(windows), 1)
        return windows[0]

    def test_arguments(self):
        cases = [
            ([], self.folder + "||Telvane"),
            (["-D", "C:\\some path", "-i"], "C:\\some path|Y|Telvane"),
            (["-i", "-d", "A:\\first", "-d", "B:\\second"], "B:\\second|Y|Telvane"),
            (["-I", "-d"], self.folder + "|Y|Telvane"),
            (["-s", "-x", "d", "/d", "C:\\ignored"], self.folder + "||Telvane"),
        ]
        for args, title in cases:
            with self.subTest(args=args):
                self.assertEqual(self.title_for(args), title)

    def test_hostile_script_starts_cleanly(self):
        lines = ["[GENERAL_INFO]", "ProductName=" + "n" * 5000]
        lines += ["filler%d=%s" % (i, "x" * 10) for i in range(100000)]
        lines += ["[DIALOGS]", "SetupWindow=Y", "[SETUP_WINDOW]", "WindowTitle=%ProductName:~0%" + "\x01",
                  "[SETUP_INFO]", "DefaultInstallationPath=" + "C:\\" + "p" * 400]
        script = crlf(*lines) + b"\x00" * 1000 + b"tail without line end"
        # Imitation: the wizard's installation would stop at the 400-character folder.
        title = self.title_for(["-i"], script)
        self.assertEqual(title, "%ProductName:~0%\x01")


if __name__ == "__main__":
    unittest.main(verbosity=2)
