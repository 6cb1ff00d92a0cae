"""The Python side of wizardctl: one driver per setup.exe run, and the packages the runs use."""
import os
import subprocess
import sys
import time
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from setup_harness import BIN, WINE_RUN, Package, crlf, run_wine, windows_path  # noqa: E402,F401

SESSION = os.environ.get("TELVANE_SESSION", "")
DRIVE_C = os.path.join(SESSION, "prefix", "drive_c")
PAGE_SECONDS = 30
# WIZARD_TRACE=1 prints every wizardctl command with its time on stderr.
TRACE = os.environ.get("WIZARD_TRACE") == "1"

# Per language-file section: the keys the engine reads and the control each one labels on its
# page ("caption" for the dialog's title; None for texts that label no control of the page).
SECTIONS = {
    "LANGUAGE_DIALOG": {"Dialog_Title": "caption", "Static1": 1009, "Next": 1003, "Cancel": 2},
    "WELCOME_DIALOG": {"Dialog_Title": "caption", "Static1": 1009, "Static2": 1010, "Static3": 1011,
                       "Static4": 1012, "Back": 1000, "Next": 1003, "Cancel": 2},
    "LICENSE_DIALOG": {"Dialog_Title": "caption", "Static1": 1009, "Static2": 1010, "Back": 1000, "Yes": 6,
                       "No": 7},
    "README_DIALOG": {"Dialog_Title": "caption", "Static1": 1009, "Back": 1000, "Next": 1003, "Cancel": 2},
    "USER_INFO_DIALOG": {"Dialog_Title": "caption", "Static1": 1009, "Static2": 1010, "Static3": 1011,
                         "Static4": 1012, "Back": 1000, "Next": 1003, "Cancel": 2},
    "TARGET_DIRECTORY_DIALOG": {"Dialog_Title": "caption", "Static1": 1009, "Static2": 1010, "Static3": 1011,
                                "Static4": 1012, "Static5": 1013, "Static7": 1015, "Browse": 1006,
                                "Back": 1000, "Next": 1003, "Cancel": 2},
    "CHOOSE_DIRECTORY_DIALOG": {"Dialog_Title": None, "Static1": None},
    "PROGRAM_GROUP_DIALOG": {"Dialog_Title": "caption", "Static1": 1009, "Static2": 1010, "Static3": 1011,
                             "Back": 1000, "Next": 1003, "Cancel": 2},
    "START_DIALOG": {"Dialog_Title": "caption", "Static1": 1009, "Static2": 1010, "String1": None,
                     "String2": None, "Back": 1000, "Next": 1003, "Cancel": 2},
    "PROCESS_DIALOG": {"Dialog_Title": "caption", "Cancel": 2},
    "FINISH_DIALOG": {"Dialog_Title": "caption", "Static1": 1009, "Static2": 1010, "Back": 1000,
                      "Finish": 1018, "Check1": 1020, "Check2": 1021},
    "EXIT_SETUP_DIALOG": {"Dialog_Title": "caption", "Static1": 1009, "Static2": 1010, "Static3": 1011,
                          "Resume": 1000, "Exit": 1001},
    "REINSTALL_DIALOG": {"Dialog_Title": "caption", "Static1": 1009, "Yes": 1059, "No": 1060, "Cancel": 1056,
                         "Error1": None},
}
SHORT = {"LANGUAGE_DIALOG": "Language", "WELCOME_DIALOG": "Welcome", "LICENSE_DIALOG": "License",
         "README_DIALOG": "Readme", "USER_INFO_DIALOG": "UserInfo", "TARGET_DIRECTORY_DIALOG": "Target",
         "CHOOSE_DIRECTORY_DIALOG": "Choose", "PROGRAM_GROUP_DIALOG": "Group", "START_DIALOG": "Start",
         "PROCESS_DIALOG": "Process", "FINISH_DIALOG": "Finish", "EXIT_SETUP_DIALOG": "Exit",
         "REINSTALL_DIALOG": "Reinstall"}


def text(tag, section, key):
    return "%s %s %s" % (tag, SHORT[section], key)


def caption(tag, section):
    return text(tag, section, "Dialog_Title")


def language_file(tag):
    lines = []
    for section, keys in SECTIONS.items():
        lines.append("[%s]" % section)
        lines.extend("%s=%s" % (key, text(tag, section, key)) for key in keys)
    lines += ["[UNINSTALL_DIALOG]", tag + " remove", "[STRINGS]", "1=%s requirements" % tag,
              "10=%s restart caption" % tag, "11=%s restart question" % tag,
              "21=%s abort on %%1 %%1" % tag, "22=%s warning on %%1" % tag]
    return crlf(*lines)


def unix_path(path):
    assert path[1:3] == ":\\" and path[0] in "Cc", path
    return os.path.join(DRIVE_C, *path[3:].split("\\"))


def reg(*args):
    result = run_wine(["reg"] + list(args))
    return result.returncode == 0


def set_windows_version(version):
    if version is None:
        reg("delete", "HKCU\\Software\\Wine", "/v", "Version", "/f")
    else:
        assert reg("add", "HKCU\\Software\\Wine", "/v", "Version", "/d", version, "/f")


def artifacts_folder():
    folder = os.path.join(os.path.dirname(BIN), "artifacts", "wizard")
    os.makedirs(folder, exist_ok=True)
    return folder


def screenshot(name):
    with open(os.path.join(SESSION, "display")) as f:
        display = f.read().strip()
    path = os.path.join(artifacts_folder(), name + ".png")
    subprocess.run(["import", "-window", "root", path], env=dict(os.environ, DISPLAY=display), timeout=30,
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return path


class Controls(dict):
    """id -> (class, visible, enabled, checked, text) of one dialog."""

    def text(self, id):
        return self[id][4]

    def visible(self, id):
        return self[id][1]

    def enabled(self, id):
        return self[id][2]

    def checked(self, id):
        return self[id][3]


class Driver:
    """One wizardctl for a whole test module: it keeps the Wine session's server up between runs,
    so a run costs the start of setup.exe only."""

    process = None

    @classmethod
    def get(cls):
        if cls.process is None or cls.process.poll() is not None:
            cls.process = subprocess.Popen([WINE_RUN, os.path.join(BIN, "wizardctl.exe")], stdin=subprocess.PIPE,
                                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                                           encoding="latin-1", bufsize=1)
        return cls.process

    @classmethod
    def shutdown(cls):
        if cls.process is None:
            return
        try:
            cls.process.stdin.write("quit\n")
            cls.process.stdin.flush()
            cls.process.wait(timeout=60)
        except (OSError, subprocess.TimeoutExpired):
            cls.process.kill()
            cls.process.wait(timeout=30)
        for stream in (cls.process.stdin, cls.process.stdout):
            stream.close()
        cls.process = None


class Wizard:
    """One setup.exe run in the package folder, started and driven by the module's wizardctl."""

    def __init__(self, package, args=()):
        self.process = Driver.get()
        command = " ".join(['"%s"' % windows_path(package.program)] + list(args))
        self.lines("start", windows_path(package.folder), command)

    def lines(self, *fields):
        """Sends one command; returns its output lines, the last one being "ok ..."."""
        started = time.time()
        self.process.stdin.write("\t".join(str(f) for f in fields) + "\n")
        self.process.stdin.flush()
        out = []
        # Every command answers within its own time limit; 2000 lines bound a listing.
        for _ in range(2000):
            line = self.process.stdout.readline()
            if line == "":
                raise AssertionError("wizardctl ended during %r" % (fields,))
            line = line.rstrip("\r\n")
            out.append(line)
            if line.startswith("ok") or line.startswith("fail"):
                break
        if TRACE:
            sys.stderr.write("wizardctl %.2fs %r -> %s\n" % (time.time() - started, fields[:2], out[-1]))
        if not out[-1].startswith("ok"):
            raise AssertionError("%r: %s" % (fields, out[-1]))
        return out

    def attempt(self, *fields):
        try:
            self.lines(*fields)
            return True
        except AssertionError:
            return False

    def wait(self, caption, seconds=PAGE_SECONDS):
        self.lines("wait", caption, seconds * 1000)

    def page(self, caption, seconds=PAGE_SECONDS):
        """Waits for the dialog and returns its controls."""
        self.wait(caption, seconds)
        return self.texts(caption)

    def texts(self, caption):
        controls = Controls()
        for line in self.lines("texts", caption)[:-1]:
            parts = line.split("\t")
            if parts[0] == "control":
                value = parts[6].replace("\\r", "\r").replace("\\n", "\n").replace("\\t", "\t")
                value = value.replace("\\\\", "\\")
                controls[int(parts[1])] = (parts[2], parts[3] == "1", parts[4] == "1", parts[5] == "1", value)
        return controls

    def windows(self):
        return [tuple(line.split("\t")[1:]) for line in self.lines("windows")[:-1]]

    def items(self, caption, id):
        out = self.lines("items", caption, id)[:-1]
        return [l.split("\t", 1)[1] for l in out if l.startswith("item")], int(out[-1].split("\t")[1])

    def press(self, caption, id):
        self.lines("press", caption, id)

    def type(self, caption, id, value):
        self.lines("type", caption, id, value.replace("\\", "\\\\"))

    def gone(self, caption, seconds=PAGE_SECONDS):
        self.lines("gone", caption, seconds * 1000)

    def exit_code(self, seconds=60):
        return int(self.lines("exit", seconds * 1000)[-1].split()[1])

    def close(self):
        """Ends the run if it still goes on (a failed test)."""
        self.lines("kill")


def script(app_dir, dialogs=None, sections=None, general=None, setup_info=None):
    """Setup.ini: product Probe, all pages on unless dialogs says otherwise, one file to install."""
    flags = {"SplashWindow": "N", "SetupWindow": "Y", "CustomDialogImage": "N", "LanguageDialog": "Y",
             "WelcomeDialog": "Y", "LicenseDialog": "Y", "ReadmeDialog": "Y", "UserInfoDialog": "Y",
             "TargetDirectoryDialog": "Y", "ProgramGroupDialog": "Y", "StartDialog": "Y", "FinishDialog": "Y"}
    flags.update(dialogs or {})
    info = {"DefaultInstallationPath": app_dir, "DefaultShortcutFolderName": "Probe Menu",
            "DefaultSetupLanguage": "English", "SetupLanguages": "English,German", "RequiredDiskSpace": "100",
            "EnableUninstaller": "N"}
    info.update(setup_info or {})
    product = {"ProductName": "Probe", "CompanyName": "Velmora Probe", "ProductVersion": "3.2"}
    product.update(general or {})
    body = {
        "GENERAL_INFO": product,
        "SETUP_INFO": info,
        "SYSTEM_REQUIREMENTS": {"AnyWindows": "Y"},
        "DIALOGS": flags,
        "SETUP_WINDOW": {"WindowTitle": "Probe Setup", "GradientFill": "Y", "ColorFrom": "0000FF",
                         "ColorTo": "FF0000", "Heading": "Probe Heading", "HeadingFont": "Arial,-40,700,0,0,0",
                         "HeadingColor": "00FFFF", "HeadingAlignment": "1", "Heading3D": "Y",
                         "Subheading": "Probe subheading", "SubheadingFont": "Arial,-20,400,1,0,0",
                         "SubheadingColor": "FFFFFF", "SubheadingAlignment": "0", "Subheading3D": "N",
                         "Footer": "Probe footer", "FooterFont": "", "FooterColor": "00FF00",
                         "FooterAlignment": "2", "Footer3D": "N"},
        "LICENSE_DIALOG": {"License_Pathname": "%SetupDir%\\licence.txt"},
        "README_DIALOG": {"Readme_Pathname": "%SetupDir%\\readme.txt"},
        "FINISH_DIALOG": {"Show_ViewReadme_CheckBox": "yes", "Show_ViewReadme_Checked": "no",
                          "Readme_Pathname": "%AppDir%\\readme.txt", "Show_RunApplication_CheckBox": "yes",
                          "Show_RunApplication_Checked": "yes",
                          "Application_Pathname": "%WinSysDir%\\cmd.exe /c echo ran>probe-ran.txt"},
        "APPLICATION_FOLDERS": ["%AppDir%"],
        "APPLICATION_FILES": ["Program,app.txt,%AppDir%\\app.txt", "Readme,readme.txt,%AppDir%\\readme.txt"],
    }
    for name, value in (sections or {}).items():
        if value is None:
            body.pop(name, None)
        elif isinstance(value, dict) and isinstance(body.get(name), dict):
            body[name] = dict(body[name], **value)
        else:
            body[name] = value
    lines = []
    for name, value in body.items():
        lines.append("[%s]" % name)
        if isinstance(value, dict):
            lines.extend("%s=%s" % item for item in value.items())
        else:
            lines.extend(value)
    return crlf(*lines)


LICENCE = b"Licence line one\r\nLicence \xff line two\r\n\x00hidden after NUL"
README = b"Readme line one\r\nReadme line two\r\n"


def package(app_dir, languages=("English", "German"), **script_options):
    pkg = Package("setup.exe")
    tags = {"English": "E", "German": "G"}
    for name in languages:
        pkg.write(name + ".dat", language_file(tags.get(name, name[0])))
    pkg.write("Setup.ini", script(app_dir, **script_options))
    pkg.write("licence.txt", LICENCE)
    pkg.write("readme.txt", README)
    with zipfile.ZipFile(os.path.join(pkg.folder, "setup.zip"), "w", zipfile.ZIP_DEFLATED) as archive:
        archive.writestr("app.txt", "probe application\r\n")
        archive.writestr("readme.txt", "probe readme\r\n")
    return pkg
