"""setup.exe's wizard under Wine, walked page by page through wizardctl: the background window
and splash, the page flow, every page and its texts, the earlier-installation question, system
requirements, the end actions and the restart question, and bad input."""
import os
import shutil
import struct
import subprocess
import sys
import time
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from wizard_driver import (DRIVE_C, LICENCE, README, SECTIONS, Driver, Wizard, caption, package, reg,  # noqa: E402
                           screenshot, set_windows_version, text, unix_path, windows_path)

USER_DATA = "HKLM\\Software\\Ostrel\\Stowpack\\UserData\\Velmora Probe\\Probe\\3.2"
UNINSTALL = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Probe"
SYSTEM32 = os.path.join(DRIVE_C, "windows", "system32")
RAN_MARKER = os.path.join(SYSTEM32, "probe-ran.txt")
UNINSTALLED_MARKER = os.path.join(SYSTEM32, "probe-uninstalled.txt")
# Keeps the Process page up for a few seconds: the installation waits for this program.
SLOW_AFTER_INSTALL = {"RUNAPPS": {"RunAfterInstall": "Y",
                                  "AfterInstall": "%WinSysDir%\\cmd.exe,/c ping -n 3 127.0.0.1"}}


def bmp(width, height, colour):
    stride = (width * 3 + 3) & ~3
    row = bytes(colour[::-1]) * width + b"\0" * (stride - width * 3)
    pixels = row * height
    return (struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54) +
            struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0) + pixels)


def pixel(shot, x, y):
    out = subprocess.run(["convert", shot, "-crop", "1x1+%d+%d" % (x, y), "-depth", "8", "rgb:-"],
                         capture_output=True, timeout=30, check=True).stdout
    return tuple(out[:3])


def near(colour, expected, tolerance=40):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


def remove(path):
    if os.path.isdir(path):
        shutil.rmtree(path, ignore_errors=True)
    elif os.path.exists(path):
        os.remove(path)


def wait_for_file(path, seconds=30):
    # Bounded: at most seconds / 0.2 looks.
    for _ in range(int(seconds / 0.2)):
        if os.path.exists(path):
            return True
        time.sleep(0.2)
    return False


class WizardTest(unittest.TestCase):
    version = None

    @classmethod
    def setUpClass(cls):
        set_windows_version(cls.version)

    @classmethod
    def tearDownClass(cls):
        set_windows_version(None)

    def setUp(self):
        self.packages = []
        self.wizards = []
        for path in (RAN_MARKER, UNINSTALLED_MARKER):
            remove(path)

    def tearDown(self):
        for wizard in self.wizards:
            wizard.close()
        for pkg in self.packages:
            pkg.cleanup()

    def run_wizard(self, app_dir="C:\\Probe Dir", args=(), languages=("English", "German"), files=None,
                   prepare=None, **options):
        """Writes the package (files: name -> bytes, None removes), then starts setup.exe in it."""
        pkg = package(app_dir, languages=languages, **options)
        self.packages.append(pkg)
        remove(unix_path(app_dir))
        for name, data in (files or {}).items():
            if data is None:
                os.remove(os.path.join(pkg.folder, name))
            else:
                pkg.write(name, data)
        if prepare is not None:
            prepare(pkg)
        wizard = Wizard(pkg, args)
        self.wizards.append(wizard)
        return pkg, wizard

    def check_page(self, wizard, section, tag="E", skip=()):
        """Waits for the page of section and checks that every text of it labels its control."""
        title = caption(tag, section)
        controls = wizard.page(title)
        for key, control in SECTIONS[section].items():
            if isinstance(control, int) and control not in skip:
                self.assertIn(control, controls, "%s %s" % (section, key))
                self.assertEqual(controls.text(control), text(tag, section, key), "%s %s" % (section, key))
        return title, controls

    def check_process_page(self, wizard, tag="E"):
        """The Process page, held open by its Exit Setup question while its texts are read: the
        installation may report completion at any moment, but the page waits for the answer."""
        title = caption(tag, "PROCESS_DIALOG")
        wizard.wait(title)
        wizard.press(title, 2)
        exit_title = caption(tag, "EXIT_SETUP_DIALOG")
        wizard.wait(exit_title)
        controls = wizard.texts(title)
        self.assertEqual(controls.text(2), text(tag, "PROCESS_DIALOG", "Cancel"))
        self.assertNotIn(1000, controls)
        self.assertNotIn(1003, controls)
        wizard.press(exit_title, 1000)
        return title, controls

    def cancel_and_resume(self, wizard, title, cancel=2):
        wizard.press(title, cancel)
        exit_title, controls = self.check_page(wizard, "EXIT_SETUP_DIALOG")
        wizard.press(exit_title, 1000)
        wizard.gone(exit_title)
        wizard.wait(title)

    def cancel_and_exit(self, wizard, title, cancel=2):
        wizard.press(title, cancel)
        exit_title = caption("E", "EXIT_SETUP_DIALOG")
        wizard.wait(exit_title)
        wizard.press(exit_title, 1001)
        self.assertEqual(wizard.exit_code(), 0)


class AllPagesOnWindows98(WizardTest):
    version = "win98"

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        # Windows opens .txt files with Notepad; a fresh Wine prefix has no .txt entry.
        assert reg("add", "HKCR\\.txt", "/ve", "/d", "txtfile", "/f")

    def test_all_pages_two_languages_a_switch_and_the_end_actions(self):
        programs = os.path.join(DRIVE_C, "windows", "Start Menu", "Programs")
        if not os.path.isdir(programs):
            programs = None
        pkg, w = self.run_wizard(sections=SLOW_AFTER_INSTALL)
        title, controls = self.check_page(w, "LANGUAGE_DIALOG")
        self.assertEqual(w.items(title, 1017), (["English", "German"], 0))
        self.assertIn(("OrvikSetup", "Probe Setup"), w.windows())
        shot = screenshot("win98-language-page-on-background")
        # Gradient: ColorFrom 0000FF is red over the top quarter and a sixth of the rest,
        # ColorTo FF0000 makes the last rows nearly blue.
        left, top, right, bottom = [int(v) for v in w.lines("rect", "Probe Setup")[-1].split()[1:]]
        self.assertTrue(near(pixel(shot, left + 10, top + (bottom - top) // 3), (255, 0, 0), 10))
        self.assertTrue(near(pixel(shot, left + 10, bottom - 12), (0, 0, 255), 40), pixel(shot, left + 10, bottom - 12))
        w.lines("select", title, 1017, "German")
        w.press(title, 1003)

        title, controls = self.check_page(w, "WELCOME_DIALOG", "G")
        self.assertTrue(controls.visible(1000))
        screenshot("win98-welcome-page-german")
        w.press(title, 1000)
        title = caption("E", "LANGUAGE_DIALOG")
        w.wait(title)
        self.assertEqual(w.items(title, 1017)[1], 1)
        w.press(title, 1003)

        title, controls = self.check_page(w, "WELCOME_DIALOG", "G")
        w.press(title, 1003)

        title, controls = self.check_page(w, "LICENSE_DIALOG", "G")
        self.assertEqual(controls.text(1005), LICENCE.split(b"\0")[0].decode("latin-1"))
        screenshot("win98-license-page")
        # No asks whether to leave; Resume keeps the page as it was.
        w.press(title, 7)
        exit_title = caption("G", "EXIT_SETUP_DIALOG")
        w.wait(exit_title)
        screenshot("win98-exit-setup-question")
        w.press(exit_title, 1000)
        w.gone(exit_title)
        self.assertEqual(w.texts(title).text(1005), controls.text(1005))
        w.press(title, 6)

        title, controls = self.check_page(w, "README_DIALOG", "G")
        self.assertEqual(controls.text(1005), README.decode("latin-1"))
        screenshot("win98-readme-page")
        w.press(title, 1003)

        title, controls = self.check_page(w, "USER_INFO_DIALOG", "G")
        w.type(title, 1005, "Some User")
        screenshot("win98-user-information-page")
        w.press(title, 1003)

        title, controls = self.check_page(w, "TARGET_DIRECTORY_DIALOG", "G")
        self.assertEqual(controls.text(1005), "C:\\Probe Dir")
        self.assertEqual(controls.text(1037), "100 KB")
        available = controls.text(1038)
        self.assertTrue(available.endswith(" KB") and int(available[:-3]) > 100, available)
        self.assertTrue(controls.enabled(1003))
        screenshot("win98-target-directory-page")
        # Back drops what was typed; Next stores it.
        w.type(title, 1005, "C:\\Probe Typed")
        w.press(title, 1000)
        user_title = caption("G", "USER_INFO_DIALOG")
        w.wait(user_title)
        w.press(user_title, 1003)
        w.wait(title)
        self.assertEqual(w.texts(title).text(1005), "C:\\Probe Dir")
        w.type(title, 1005, "C:\\Probe Typed")
        w.press(title, 1003)

        title, controls = self.check_page(w, "PROGRAM_GROUP_DIALOG", "G")
        self.assertEqual(controls.text(1005), "Probe Menu")
        items, _ = w.items(title, 1017)
        self.assertEqual(items, sorted(items, key=str.lower))
        self.assertTrue(items, "the Programs menu of a fresh prefix has folders")
        w.lines("select", title, 1017, items[-1])
        w.wait(title)
        self.assertEqual(w.texts(title).text(1005), items[-1])
        w.type(title, 1005, "Probe Group")
        screenshot("win98-program-group-page")
        w.press(title, 1003)

        title, controls = self.check_page(w, "START_DIALOG", "G")
        self.assertEqual(controls.text(1005), "G Start String1\r\n  C:\\Probe Typed\r\n\r\n"
                                              "G Start String2\r\n  Probe Group")
        screenshot("win98-start-copying-page")
        w.press(title, 1003)

        title, controls = self.check_process_page(w, "G")
        screenshot("win98-process-page")

        title, controls = self.check_page(w, "FINISH_DIALOG", "G")
        self.assertEqual([controls.visible(1020), controls.checked(1020)], [True, False])
        self.assertEqual([controls.visible(1021), controls.checked(1021)], [True, True])
        self.assertFalse(controls.enabled(1000))
        # Esc and the close box do nothing here.
        w.lines("escape", title)
        w.lines("close", title)
        w.lines("check", title, 1020, 1)
        screenshot("win98-finish-page")
        w.wait(title)
        w.press(title, 1018)

        # The readme viewer first; the application runs once it is closed.
        self.assertTrue(w.attempt("closeclass", "Notepad", 30000), "no readme viewer")
        self.assertTrue(wait_for_file(RAN_MARKER), "the application did not run")
        self.assertEqual(w.exit_code(), 0)
        with open(unix_path("C:\\Probe Typed\\app.txt"), "rb") as installed:
            self.assertEqual(installed.read(), b"probe application\r\n")


class EarlierInstallationOnWindowsXP(WizardTest):
    version = "winxp"

    def setUp(self):
        super().setUp()
        reg("delete", USER_DATA, "/f")
        reg("delete", UNINSTALL, "/f")

    def run_wizard(self, *args, **options):
        options["setup_info"] = dict(options.get("setup_info") or {}, EnableUninstaller="Y")
        return super().run_wizard(*args, **options)

    def plant_earlier(self, uninstall=None):
        self.assertTrue(reg("add", USER_DATA, "/v", "AppDir", "/d", "C:\\Probe Earlier", "/f"))
        self.assertTrue(reg("add", USER_DATA, "/v", "AppShortcutFolder", "/d", "Probe Earlier Menu", "/f"))
        if uninstall is not None:
            self.assertTrue(reg("add", UNINSTALL, "/v", "UninstallString", "/d", uninstall, "/f"))

    def test_no_takes_over_folder_and_group_and_walks_every_page(self):
        self.plant_earlier()
        pkg, w = self.run_wizard(setup_info={"RequiredDiskSpace": ""}, sections=SLOW_AFTER_INSTALL)
        title, controls = self.check_page(w, "REINSTALL_DIALOG")
        self.assertNotIn(("OrvikSetup", "Probe Setup"), w.windows())
        screenshot("winxp-reinstall-question")
        w.press(title, 1060)
        for section in ("LANGUAGE_DIALOG", "WELCOME_DIALOG"):
            title, _ = self.check_page(w, section)
            if section == "WELCOME_DIALOG":
                self.cancel_and_resume(w, title)
            w.press(title, 1003)
        title, _ = self.check_page(w, "LICENSE_DIALOG")
        w.press(title, 6)
        for section in ("README_DIALOG", "USER_INFO_DIALOG"):
            title, _ = self.check_page(w, section)
            w.press(title, 1003)
        title, controls = self.check_page(w, "TARGET_DIRECTORY_DIALOG", skip=(1013, 1015))
        self.assertEqual(controls.text(1005), "C:\\Probe Earlier")
        # No RequiredDiskSpace: no space labels, Next enabled.
        self.assertEqual([controls.visible(i) for i in (1013, 1037, 1015, 1038)], [False] * 4)
        self.assertTrue(controls.enabled(1003))
        # Back resets to the default, which is now the earlier folder.
        w.press(title, 1000)
        user_title = caption("E", "USER_INFO_DIALOG")
        w.wait(user_title)
        w.press(user_title, 1003)
        self.assertEqual(w.page(title).text(1005), "C:\\Probe Earlier")
        w.press(title, 1003)
        title, controls = self.check_page(w, "PROGRAM_GROUP_DIALOG")
        self.assertEqual(controls.text(1005), "Probe Earlier Menu")
        w.press(title, 1003)
        title, controls = self.check_page(w, "START_DIALOG")
        self.assertIn("C:\\Probe Earlier", controls.text(1005))
        w.press(title, 1003)
        self.check_process_page(w)
        title, controls = self.check_page(w, "FINISH_DIALOG")
        w.lines("check", title, 1021, 0)
        w.press(title, 1018)
        self.assertEqual(w.exit_code(), 0)
        self.assertTrue(os.path.exists(unix_path("C:\\Probe Earlier\\app.txt")))
        self.assertFalse(os.path.exists(RAN_MARKER))

    def test_yes_runs_the_earlier_uninstaller_and_ends(self):
        self.plant_earlier('"C:\\windows\\system32\\cmd.exe" /c echo removed>probe-uninstalled.txt')
        pkg, w = self.run_wizard()
        title, _ = self.check_page(w, "REINSTALL_DIALOG")
        w.press(title, 1059)
        self.assertEqual(w.exit_code(), 0)
        self.assertTrue(wait_for_file(UNINSTALLED_MARKER))

    def test_yes_without_an_uninstaller_warns_and_goes_on(self):
        self.plant_earlier()
        pkg, w = self.run_wizard()
        title, _ = self.check_page(w, "REINSTALL_DIALOG")
        w.press(title, 1059)
        controls = w.page("Setup")
        self.assertEqual(controls.text(0xFFFF), text("E", "REINSTALL_DIALOG", "Error1"))
        w.press("Setup", 1)
        title, _ = self.check_page(w, "LANGUAGE_DIALOG")
        self.cancel_and_exit(w, title)

    def test_cancel_ends_setup_before_any_window(self):
        self.plant_earlier()
        pkg, w = self.run_wizard()
        title, _ = self.check_page(w, "REINSTALL_DIALOG")
        w.lines("escape", title)
        self.assertEqual(w.exit_code(), 0)
        self.assertFalse(os.path.exists(unix_path("C:\\Probe Dir")))


class SystemRequirements(WizardTest):
    NAMES = [("win95", "Windows95", "Windows 95"), ("win98", "Windows98", "Windows 98"),
             ("winme", "WindowsME", "Windows ME"), ("nt40", "WindowsNT4", "Windows NT4"),
             ("win2k", "Windows2000", "Windows 2000"), ("winxp", "WindowsXP", "Windows XP")]

    def test_each_windows_with_abort_on_and_off(self):
        # User Information alone: its Back ends the wizard at once.
        user_info_only = {name: "N" for name in ("LanguageDialog", "LicenseDialog", "ReadmeDialog", "WelcomeDialog",
                                                "TargetDirectoryDialog", "ProgramGroupDialog", "StartDialog",
                                                "FinishDialog")}
        for version, key, name in self.NAMES:
            for abort in ("Y", "N"):
                with self.subTest(version=version, abort=abort):
                    set_windows_version(version)
                    requirements = {k: ("N" if k == key else "Y") for _, k, _ in self.NAMES}
                    requirements.update(AnyWindows="N", AbortInstallation=abort)
                    pkg, w = self.run_wizard(dialogs=user_info_only,
                                             sections={"SYSTEM_REQUIREMENTS": requirements})
                    box = w.page("E requirements")
                    if abort == "Y":
                        # Only the first %1 is replaced.
                        self.assertEqual(box.text(0xFFFF), "E abort on %s %%1" % name)
                        if version == "win98":
                            screenshot("win98-system-requirements-abort")
                        w.press("E requirements", 1)
                        self.assertEqual(w.exit_code(), 0)
                    else:
                        self.assertEqual(box.text(0xFFFF), "E warning on %s" % name)
                        w.press("E requirements", 1)
                        title, _ = self.check_page(w, "USER_INFO_DIALOG")
                        w.press(title, 1000)
                        self.assertEqual(w.exit_code(), 0)
        set_windows_version("winxp")
        pkg, w = self.run_wizard(dialogs=user_info_only, sections={"SYSTEM_REQUIREMENTS": {
            "AnyWindows": "N", "WindowsXP": "Y", "AbortInstallation": "Y"}})
        title, _ = self.check_page(w, "USER_INFO_DIALOG")
        self.assertNotIn("E requirements", [c for _, c in w.windows()])
        w.press(title, 1000)
        self.assertEqual(w.exit_code(), 0)


class FlowAndCancel(WizardTest):
    def test_page_plans(self):
        only = lambda *names: {n: ("Y" if n in names else "N") for n in (  # noqa: E731
            "LanguageDialog", "WelcomeDialog", "LicenseDialog", "ReadmeDialog", "UserInfoDialog",
            "TargetDirectoryDialog", "ProgramGroupDialog", "StartDialog", "FinishDialog")}
        cases = [
            # (pages enabled, arguments, pages expected in order, installed, application run)
            (only("FinishDialog"), [], ["PROCESS_DIALOG", "FINISH_DIALOG"], True, True),
            (only("WelcomeDialog", "FinishDialog"), ["-i"], ["WELCOME_DIALOG", "FINISH_DIALOG"], False, False),
        ]
        for dialogs, args, pages, installed, ran in cases:
            with self.subTest(dialogs=dialogs, args=args):
                remove(RAN_MARKER)
                pkg, w = self.run_wizard(dialogs=dialogs, args=args, sections=SLOW_AFTER_INSTALL)
                for section in pages:
                    title, controls = self.check_page(w, section)
                    if section == "WELCOME_DIALOG":
                        self.assertFalse(controls.visible(1000))
                    if section != "PROCESS_DIALOG":
                        w.press(title, 1018 if section == "FINISH_DIALOG" else 1003)
                self.assertEqual(w.exit_code(), 0)
                self.assertEqual(os.path.exists(unix_path("C:\\Probe Dir\\app.txt")), installed)
                self.assertEqual(wait_for_file(RAN_MARKER, 3 if not ran else 30), ran)

    def test_unattended_shows_nothing_and_installs(self):
        pkg, w = self.run_wizard(setup_info={"SetupType": "1"},
                                 dialogs={"SplashWindow": "Y"},
                                 sections={"SPLASH_WINDOW": {"Bitmap_Pathname": "%SetupDir%\\splash.bmp"}},
                                 files={"splash.bmp": bmp(40, 30, (0, 255, 0))})
        seen = set()
        for _ in range(100):
            seen.update(cls for cls, _ in w.windows())
            if w.attempt("exit", 100):
                break
        self.assertEqual(w.exit_code(), 0)
        # Only the Process page shows; neither the splash nor the background window.
        self.assertEqual(seen & {"OrvikSetup", "OrvikSetupSplash"}, set())
        self.assertTrue(os.path.exists(unix_path("C:\\Probe Dir\\app.txt")))

    def test_back_on_the_first_page_ends_without_question(self):
        pkg, w = self.run_wizard(dialogs={"LanguageDialog": "N", "WelcomeDialog": "N", "LicenseDialog": "N",
                                          "ReadmeDialog": "N"})
        title, _ = self.check_page(w, "USER_INFO_DIALOG")
        w.press(title, 1000)
        self.assertEqual(w.exit_code(), 0)
        self.assertFalse(os.path.exists(unix_path("C:\\Probe Dir")))

    def test_cancel_then_resume_on_every_page_then_exit(self):
        pkg, w = self.run_wizard(args=["-i"])
        steps = [("LANGUAGE_DIALOG", 1003), ("WELCOME_DIALOG", 1003), ("LICENSE_DIALOG", 6),
                 ("README_DIALOG", 1003), ("USER_INFO_DIALOG", 1003), ("TARGET_DIRECTORY_DIALOG", 1003),
                 ("PROGRAM_GROUP_DIALOG", 1003)]
        for section, next_button in steps:
            title, _ = self.check_page(w, section)
            self.cancel_and_resume(w, title, 7 if section == "LICENSE_DIALOG" else 2)
            if section == "LICENSE_DIALOG":
                # Esc on the licence behaves like No.
                w.lines("escape", title)
                exit_title = caption("E", "EXIT_SETUP_DIALOG")
                w.wait(exit_title)
                w.press(exit_title, 1000)
                w.gone(exit_title)
            w.press(title, next_button)
        title, _ = self.check_page(w, "START_DIALOG")
        # Esc in the question leaves like Exit Setup.
        w.press(title, 2)
        exit_title = caption("E", "EXIT_SETUP_DIALOG")
        w.wait(exit_title)
        w.lines("escape", exit_title)
        self.assertEqual(w.exit_code(), 0)

    def test_cancel_on_the_process_page(self):
        for answer in ("resume", "exit"):
            with self.subTest(answer=answer):
                pkg, w = self.run_wizard(dialogs={n: "N" for n in (
                    "LanguageDialog", "WelcomeDialog", "LicenseDialog", "ReadmeDialog", "UserInfoDialog",
                    "TargetDirectoryDialog", "ProgramGroupDialog", "StartDialog")}, sections=SLOW_AFTER_INSTALL)
                title, _ = self.check_page(w, "PROCESS_DIALOG")
                w.press(title, 2)
                exit_title = caption("E", "EXIT_SETUP_DIALOG")
                w.wait(exit_title)
                screenshot("process-page-cancel-question")
                if answer == "resume":
                    w.press(exit_title, 1000)
                    finish, _ = self.check_page(w, "FINISH_DIALOG")
                    w.press(finish, 1018)
                else:
                    w.press(exit_title, 1001)
                self.assertEqual(w.exit_code(), 0)
                # Whichever the answer, the installation was not cut off in the middle.
                self.assertTrue(os.path.exists(unix_path("C:\\Probe Dir\\app.txt")))


class TargetDirectory(WizardTest):
    def test_too_little_space_and_browse(self):
        pkg, w = self.run_wizard(args=["-i"], dialogs={"LanguageDialog": "N", "WelcomeDialog": "N",
                                                       "LicenseDialog": "N", "ReadmeDialog": "N",
                                                       "UserInfoDialog": "N"},
                                 setup_info={"RequiredDiskSpace": "4294967295"})
        title, controls = self.check_page(w, "TARGET_DIRECTORY_DIALOG")
        self.assertFalse(controls.enabled(1003))
        self.assertEqual(controls.text(1037), "4294967295 KB")
        free = os.statvfs(DRIVE_C)
        shown = int(controls.text(1038)[:-3])
        self.assertLess(abs(shown - free.f_bavail * free.f_frsize // 1024), 100 * 1024)
        self.assertFalse(w.attempt("press", title, 1003))
        screenshot("target-directory-too-little-space")
        # Browse, then Cancel in the browser: nothing changes.
        w.press(title, 1006)
        browser = "E Choose Dialog_Title"
        w.wait(browser)
        w.press(browser, 2)
        w.gone(browser)
        self.assertEqual(w.texts(title).text(1005), "C:\\Probe Dir")
        # Browse, then OK on the folder it starts on: that folder and the directory name.
        w.press(title, 1006)
        w.wait(browser)
        screenshot("target-directory-browse")
        w.press(browser, 1)
        w.gone(browser)
        controls = w.texts(title)
        self.assertTrue(controls.text(1005).endswith("\\Probe Dir"), controls.text(1005))
        self.assertNotEqual(controls.text(1005), "C:\\Probe Dir")
        self.assertFalse(controls.enabled(1003))
        self.cancel_and_exit(w, title)


class BackgroundAndSplash(WizardTest):
    def test_splash_shows_for_a_while_then_the_wizard(self):
        pkg, w = self.run_wizard(dialogs={"SplashWindow": "Y"},
                                 sections={"SPLASH_WINDOW": {"Bitmap_Pathname": "%SetupDir%\\splash.bmp"}},
                                 files={"splash.bmp": bmp(400, 300, (0, 200, 0))})
        w.lines("waitclass", "OrvikSetupSplash", 30000)
        shot = screenshot("splash")
        self.assertTrue(near(pixel(shot, 512, 384), (0, 200, 0)), pixel(shot, 512, 384))
        # A client area of 400 x 300, centred on the 1024 x 768 screen.
        self.assertTrue(near(pixel(shot, 512 - 195, 384 - 145), (0, 200, 0)))
        self.assertTrue(near(pixel(shot, 512 + 195, 384 + 145), (0, 200, 0)))
        self.assertFalse(near(pixel(shot, 512 - 215, 384), (0, 200, 0)))
        title, _ = self.check_page(w, "LANGUAGE_DIALOG")
        self.assertNotIn("OrvikSetupSplash", [c for c, _ in w.windows()])
        screenshot("background-window")
        self.cancel_and_exit(w, title)

    def test_bad_splash_pictures_start_the_wizard_at_once(self):
        for name, data in (("missing", None), ("damaged", b"BM not really a picture"), ("empty", b"")):
            with self.subTest(picture=name):
                pkg, w = self.run_wizard(dialogs={"SplashWindow": "Y", "CustomDialogImage": "Y"},
                                         sections={"SPLASH_WINDOW": {"Bitmap_Pathname": "%SetupDir%\\splash.bmp"},
                                                   "DIALOGS": {"CustomDialogBitmap_Pathname": "%SetupDir%\\splash.bmp"}},
                                         files={} if data is None else {"splash.bmp": data})
                title, _ = self.check_page(w, "LANGUAGE_DIALOG")
                self.assertNotIn("OrvikSetupSplash", [c for c, _ in w.windows()])
                self.cancel_and_exit(w, title)

    def test_custom_dialog_picture(self):
        pkg, w = self.run_wizard(dialogs={"CustomDialogImage": "Y"},
                                 sections={"DIALOGS": {"CustomDialogBitmap_Pathname": "%SetupDir%\\picture.bmp"}},
                                 files={"picture.bmp": bmp(200, 400, (255, 0, 255))})
        title, _ = self.check_page(w, "LANGUAGE_DIALOG")
        left, top = [int(v) for v in w.lines("rect", title)[-1].split()[1:3]]
        shot = screenshot("language-page-custom-picture")
        self.assertTrue(near(pixel(shot, left + 40, top + 80), (255, 0, 255)), pixel(shot, left + 40, top + 80))
        self.cancel_and_exit(w, title)


class BadInput(WizardTest):
    def test_missing_licence_and_readme_files(self):
        pkg, w = self.run_wizard(args=["-i"], dialogs={"LanguageDialog": "N", "WelcomeDialog": "N"},
                                 files={"licence.txt": None, "readme.txt": None})
        title, controls = self.check_page(w, "LICENSE_DIALOG")
        self.assertEqual(controls.text(1005), "")
        w.press(title, 6)
        title, controls = self.check_page(w, "README_DIALOG")
        self.assertEqual(controls.text(1005), "")
        self.cancel_and_exit(w, title)

    def test_empty_language_list_keeps_the_language(self):
        pkg, w = self.run_wizard(args=["-i"], setup_info={"SetupLanguages": ""})
        title, _ = self.check_page(w, "LANGUAGE_DIALOG")
        self.assertEqual(w.items(title, 1017), ([], -1))
        w.press(title, 1003)
        title, _ = self.check_page(w, "WELCOME_DIALOG")
        self.cancel_and_exit(w, title)

    def test_language_file_gone_before_the_switch_ends_with_the_failure_box(self):
        pkg, w = self.run_wizard(args=["-i"])
        title, _ = self.check_page(w, "LANGUAGE_DIALOG")
        os.remove(os.path.join(pkg.folder, "German.dat"))
        w.lines("select", title, 1017, "German")
        w.press(title, 1003)
        box = w.page("Error")
        self.assertEqual(box.text(0xFFFF), 'Can not open file: "German.dat"')
        screenshot("language-switch-failure-box")
        w.press("Error", 1)
        self.assertEqual(w.exit_code(), -1)


class RestartQuestion(WizardTest):
    def test_locked_file_ends_with_the_restart_question(self):
        app_dir = "C:\\Probe Locked"
        records = {"APPLICATION_FILES": ["Program,app.txt,%AppDir%\\app.txt",
                                         "Locked,locked.dll,%AppDir%\\locked.dll,0,3"]}
        locked = unix_path(app_dir + "\\locked.dll")

        def prepare(pkg):
            with zipfile.ZipFile(os.path.join(pkg.folder, "setup.zip"), "a") as archive:
                archive.writestr("locked.dll", "new library\r\n")
            os.makedirs(unix_path(app_dir), exist_ok=True)
            with open(locked, "wb") as old:
                old.write(b"old library\r\n")
            os.utime(locked, (946684800, 946684800))

        # The file is locked by wizardctl itself, from before the installation starts until the end.
        pkg, w = self.run_wizard(app_dir, dialogs={n: "N" for n in (
            "LanguageDialog", "WelcomeDialog", "LicenseDialog", "ReadmeDialog", "UserInfoDialog",
            "TargetDirectoryDialog", "ProgramGroupDialog")}, sections=records, prepare=prepare)
        title, _ = self.check_page(w, "START_DIALOG")
        w.lines("lock", app_dir + "\\locked.dll")
        w.press(title, 1003)
        title, _ = self.check_page(w, "FINISH_DIALOG")
        w.press(title, 1018)
        box = w.page("E restart caption")
        self.assertEqual(box.text(0xFFFF), "E restart question")
        screenshot("restart-question")
        # No: this prefix is shared with the other tests; Yes would end all of its programs.
        w.press("E restart caption", 7)
        self.assertEqual(w.exit_code(), 0)
        with open(locked, "rb") as still:
            self.assertEqual(still.read(), b"old library\r\n")


def tearDownModule():
    Driver.shutdown()


if __name__ == "__main__":
    unittest.main(verbosity=2)
