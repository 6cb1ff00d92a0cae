"""The main job's Windows side (scripts/demo.sh runs it in a fresh Wine session): the suite's
setup.exe walked through its wizard page by page, the installation checked, the installed
host with the dial-up simulator and two installed clients on 127.0.0.1, one client
connecting while the other sees the line on-line, the uninstaller, and a report with
screenshots in one output folder.

    main_job.py PACKAGE_FOLDER OUTPUT_FOLDER
"""
import os
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "setup", "wizard"))
import suite  # noqa: E402
from suite import Failure, check, t  # noqa: E402
import wizard_driver  # noqa: E402
from wizard_driver import Wizard  # noqa: E402

# The wizard's pages as the suite's German.dat titles them (the Language page keeps the first
# language's texts), and the button that moves on.
NEXT, YES, FINISH, LANGUAGE_LIST, RUN_CLIENT = 1003, 6, 1018, 1017, 1021
LANGUAGE_PAGE = "Telvane Setup - Language"
PAGES = [
    ("welcome", "Willkommen bei Telvane Setup", NEXT),
    ("licence", "Telvane Lizenzvertrag", YES),
    ("readme", "Hinweise zu dieser Version von Telvane", NEXT),
    ("folder", "Zielordner festlegen", NEXT),
    ("start-menu-folder", "Programmordner festlegen", NEXT),
    ("ready", "Bereit zur Installation von Telvane", NEXT),
    # The progress page moves on by itself when the installation is done; it may be gone before
    # it can be photographed.
    ("installing", "Telvane wird installiert", None),
    ("finish", "Telvane Setup ist abgeschlossen", FINISH),
]
PAGE_SECONDS = 60


class PackageFolder:
    """The package as the wizard driver starts it: setup.exe in its own folder."""

    def __init__(self, folder):
        self.folder = folder
        self.program = os.path.join(folder, "setup.exe")


def show_page(run, wizard, name, caption):
    controls = wizard.page(caption, PAGE_SECONDS)
    time.sleep(0.3)
    run.shoot("wizard-" + name)
    # A picture control's text is its resource number behind a 0xFF byte; only words are shown.
    words = [c[4] for _, c in sorted(controls.items()) if c[1] and c[4] and not c[4].startswith("\xff")]
    run.note("page %r: %s" % (caption, " | ".join(words)[:150].replace("\r\n", " ")))
    return controls


def walk_wizard(run):
    run.step("Running setup.exe through its wizard on the virtual display (wizardctl), in German")
    wizard = Wizard(PackageFolder(run.package))
    finished = False
    try:
        show_page(run, wizard, "language", LANGUAGE_PAGE)
        wizard.lines("select", LANGUAGE_PAGE, LANGUAGE_LIST, "German")
        items, selected = wizard.items(LANGUAGE_PAGE, LANGUAGE_LIST)
        check(items == ["English", "German"] and selected == 1, "language list %r, selected %d" % (items, selected))
        run.shoot("wizard-language-german")
        wizard.press(LANGUAGE_PAGE, NEXT)
        wizard.gone(LANGUAGE_PAGE)
        for name, caption, button in PAGES:
            if button is None:
                if wizard.attempt("wait", caption, 5000):
                    run.shoot("wizard-" + name)
                continue
            controls = show_page(run, wizard, name, caption)
            if button == FINISH:
                # The offer to run the client, not ticked: its address may not be set yet.
                check(controls.visible(RUN_CLIENT) and not controls.checked(RUN_CLIENT),
                      "the Finish page does not offer to start the client unticked")
                run.note("the Finish page offers %r, not ticked" % controls.text(RUN_CLIENT))
            wizard.press(caption, button)
            wizard.gone(caption, PAGE_SECONDS)
        code = wizard.exit_code(PAGE_SECONDS)
        check(code == 0, "setup.exe ended with exit code %d" % code)
        finished = True
        run.note("setup.exe ended with exit code 0")
    finally:
        if not finished:
            wizard.attempt("kill")
        wizard.close()
        # A driver that keeps one wizardctl for several runs is ended here as well.
        driver = getattr(wizard_driver, "Driver", None)
        if driver is not None:
            driver.shutdown()


def main(package, output):
    run = suite.Run(package, output)
    port = t.free_port()
    outcome = "FAILED"
    try:
        run.configure_loopback(port)
        walk_wizard(run)
        run.check_installation()
        run.run_programs(port, client_count=2)
        run.uninstall()
        run.check_nothing_left()
        outcome = "all steps passed"
    except (Failure, AssertionError, RuntimeError, subprocess.TimeoutExpired, OSError) as error:
        run.note("FAILED: %s" % error)
        try:
            run.shoot("at-the-failure")
        except (subprocess.SubprocessError, OSError):
            pass
    finally:
        t.reg_delete_key(suite.HOST_KEY)
        t.reg_delete_key(suite.CLIENT_KEY)
        report = run.write_report(outcome)
    print("\nTelvane main job: %s." % outcome)
    print("Report: %s" % report)
    print("Screenshots (%d) beside it: %s" % (len(run.screenshots), ", ".join(run.screenshots)))
    return 0 if outcome == "all steps passed" else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
