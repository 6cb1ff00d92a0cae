"""mkpackage.py as its users run it: a package made from a folder and a description, and every
kind of description it must refuse, each with a message naming the line and nothing written."""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile

TOOL = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "packaging", "mkpackage.py")

SCRIPT = "[GENERAL_INFO]\nProductName=Sample\nProductVersion=@VERSION@\n# a comment the tool drops\n[SETUP_INFO]\nSetupType=1\n"
HEADER = "script Setup.ini.in\nlanguage English.dat\ntext licence.txt\nengine setup.exe\n"


class Workspace:
    """A folder of built files, a description folder and an output folder, all scratch."""

    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="mkpackage-")
        self.built = os.path.join(self.root, "bin")
        self.source = os.path.join(self.root, "src")
        self.out = os.path.join(self.root, "out", "package")
        os.makedirs(self.built)
        os.makedirs(self.source)
        for name in ("setup.exe", "prog.exe", "lib.dll", os.path.join("doc", "guide.txt")):
            self.built_file(name, ("contents of %s\n" % name).encode())
        self.source_file("Setup.ini.in", SCRIPT)
        self.source_file("English.dat", "[WELCOME_DIALOG]\nDialog_Title=Welcome to @VERSION@\n")
        self.source_file("licence.txt", "Terms of use\n")

    def built_file(self, name, data):
        path = os.path.join(self.built, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)

    def source_file(self, name, text):
        with open(os.path.join(self.source, name), "w", encoding="utf-8", newline="") as f:
            f.write(text)

    def run(self, files, header=HEADER):
        self.source_file("package.txt", header + files)
        return subprocess.run([sys.executable, TOOL, os.path.join(self.source, "package.txt"), "--from", self.built,
                               "--out", self.out, "--define", "VERSION=2.5"],
                              capture_output=True, text=True, timeout=60)

    def read(self, name):
        with open(os.path.join(self.out, name), "rb") as f:
            return f.read()

    def cleanup(self):
        shutil.rmtree(self.root, ignore_errors=True)


class GoodPackage(unittest.TestCase):
    def setUp(self):
        self.ws = Workspace()

    def tearDown(self):
        self.ws.cleanup()

    def test_records_archive_and_texts(self):
        result = self.ws.run(
            "application prog.exe %AppDir%\\prog.exe replace=version-or-time\n"
            "application doc\\guide.txt \"%AppDir%\\Read Me\\guide.txt\" unlogged\n"
            "shared lib.dll %CommonFiles%\\Sample\\lib.dll count register replace=2\n"
            "system lib.dll %WinSysDir%\\samplelib.dll replace=newer-time\n")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(sorted(os.listdir(self.ws.out)),
                         ["English.dat", "Setup.ini", "licence.txt", "setup.exe", "setup.zip"])
        script = self.ws.read("Setup.ini").decode("cp1252")
        expected = [
            "[GENERAL_INFO]", "ProductName=Sample", "ProductVersion=2.5", "[SETUP_INFO]", "SetupType=1",
            "[APPLICATION_FOLDERS]", "%AppDir%", "%AppDir%\\Read Me",
            "[APPLICATION_FILES]",
            "prog.exe,prog.exe,%AppDir%\\prog.exe,0,5",
            "guide.txt,doc/guide.txt,%AppDir%\\Read Me\\guide.txt,8,0",
            "[SHARED_FOLDERS]", "%CommonFiles%\\Sample",
            "[SHARED_FILES]", "lib.dll,lib.dll,%CommonFiles%\\Sample\\lib.dll,6,2",
            "[SYSTEM_FOLDERS]", "%WinSysDir%",
            "[SYSTEM_FILES]", "lib.dll,lib.dll,%WinSysDir%\\samplelib.dll,0,4",
        ]
        self.assertEqual(script, "".join(line + "\r\n" for line in expected))
        with zipfile.ZipFile(os.path.join(self.ws.out, "setup.zip")) as archive:
            self.assertEqual(sorted(archive.namelist()), ["doc/guide.txt", "lib.dll", "prog.exe"])
            self.assertEqual(archive.read("doc/guide.txt"), b"contents of doc/guide.txt\n")
            self.assertIsNone(archive.testzip())
        self.assertEqual(self.ws.read("English.dat"), b"[WELCOME_DIALOG]\r\nDialog_Title=Welcome to 2.5\r\n")
        self.assertEqual(self.ws.read("setup.exe"), b"contents of setup.exe\n")

    def test_texts_are_written_in_the_windows_code_page(self):
        self.ws.source_file("English.dat", "[STRINGS]\r\n1=Schlie\u00dfen \u2013 Gr\u00fc\u00dfe\r\n")
        result = self.ws.run("application prog.exe %AppDir%\\prog.exe\n")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(self.ws.read("English.dat"), b"[STRINGS]\r\n1=Schlie\xdfen \x96 Gr\xfc\xdfe\r\n")

    def test_an_earlier_package_is_replaced_as_a_whole(self):
        self.assertEqual(self.ws.run("application prog.exe %AppDir%\\prog.exe\n").returncode, 0)
        with open(os.path.join(self.ws.out, "stale.txt"), "w") as f:
            f.write("left from before")
        result = self.ws.run("application lib.dll %AppDir%\\lib.dll\n")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertNotIn("stale.txt", os.listdir(self.ws.out))
        with zipfile.ZipFile(os.path.join(self.ws.out, "setup.zip")) as archive:
            self.assertEqual(archive.namelist(), ["lib.dll"])
        self.assertEqual(os.listdir(os.path.dirname(self.ws.out)), ["package"])


LONG_TARGET = "%AppDir%\\" + "d" * 250 + "\\prog.exe"
REFUSED = [
    # (what, file list, line named, words of the message)
    ("missing source file", "application prog.exe %AppDir%\\prog.exe\napplication gone.exe %AppDir%\\gone.exe\n",
     6, "source file gone.exe is missing"),
    ("target over 259 characters", "application prog.exe %s\n" % LONG_TARGET, 5, "more than the 259"),
    ("comma in the source name", "application prog,1.exe %AppDir%\\prog.exe\n", 5, "contains a comma"),
    ("comma in the target", "application prog.exe %AppDir%\\a,b\\prog.exe\n", 5, "contains a comma"),
    ("comma in the entry name", "application prog.exe %AppDir%\\prog.exe entry=a,b\n", 5, "contains a comma"),
    ("duplicate targets", "application prog.exe %AppDir%\\prog.exe\nshared lib.dll %APPDIR%\\PROG.EXE\n",
     6, "already installed by package.txt:5"),
    ("record over 259 characters",
     "application prog.exe %%AppDir%%\\%s\\prog.exe entry=%s\n" % ("d" * 200, "e" * 60), 5, "record"),
    ("target without a folder", "application prog.exe prog.exe\n", 5, "not a full path"),
    ("character Windows refuses", "application prog.exe %AppDir%\\what?.exe\n", 5, "cannot hold"),
    ("unknown replace rule", "application prog.exe %AppDir%\\prog.exe replace=sometimes\n", 5, "unknown replace rule"),
    ("unknown option", "application prog.exe %AppDir%\\prog.exe shared\n", 5, "unknown option"),
    ("unknown directive", "aplication prog.exe %AppDir%\\prog.exe\n", 5, "unknown directive"),
    ("target missing", "application prog.exe\n", 5, "needs a source file and a target"),
    ("quote not closed", "application \"prog.exe %AppDir%\\prog.exe\n", 5, "not closed"),
]


class RefusedDescriptions(unittest.TestCase):
    def setUp(self):
        self.ws = Workspace()
        # An earlier package that a refused run must leave exactly as it was.
        self.assertEqual(self.ws.run("application prog.exe %AppDir%\\prog.exe\n").returncode, 0)
        self.before = {name: self.ws.read(name) for name in os.listdir(self.ws.out)}

    def tearDown(self):
        self.ws.cleanup()

    def assert_refused(self, result, where, words):
        self.assertNotEqual(result.returncode, 0)
        self.assertTrue(result.stderr.startswith("mkpackage: " + where), result.stderr)
        self.assertIn(words, result.stderr)
        self.assertEqual(result.stdout, "")
        self.assertEqual({name: self.ws.read(name) for name in os.listdir(self.ws.out)}, self.before)
        self.assertEqual(os.listdir(os.path.dirname(self.ws.out)), ["package"], "a half-made package was left")

    def test_each_refused_file_list(self):
        for what, files, line, words in REFUSED:
            with self.subTest(what):
                self.assert_refused(self.ws.run(files), "package.txt:%d:" % line, words)

    def test_empty_file_list(self):
        self.assert_refused(self.ws.run("# nothing to install\n"), "package.txt:", "the file list is empty")

    def test_text_the_windows_code_page_cannot_hold(self):
        self.ws.source_file("English.dat", "[STRINGS]\n1=ok\n2=\u041f\u0440\u0438\u0432\u0435\u0442\n")
        self.assert_refused(self.ws.run("application prog.exe %AppDir%\\prog.exe\n"), "English.dat:3:",
                            "cannot be written in the Windows code page")

    def test_script_that_already_holds_a_file_list(self):
        self.ws.source_file("Setup.ini.in", SCRIPT + "[APPLICATION_FILES]\nx,x,C:\\x,0,0\n")
        self.assert_refused(self.ws.run("application prog.exe %AppDir%\\prog.exe\n"), "package.txt:1:",
                            "already holds [APPLICATION_FILES]")

    def test_missing_engine(self):
        os.remove(os.path.join(self.ws.built, "setup.exe"))
        self.assert_refused(self.ws.run("application prog.exe %AppDir%\\prog.exe\n"), "package.txt:4:",
                            "engine setup.exe is missing")


if __name__ == "__main__":
    unittest.main(verbosity=2)
