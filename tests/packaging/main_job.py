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

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import suite  # noqa: E402
from suite import Failure, check, t  # noqa: E402

# The wizard's pages as the suite's German.dat titles them (the Language page keeps the first
# language's texts), and the button that moves on.
NEXT, YES, FINISH, LANGUAGE_LIST = 1003, 6, 1018, 1017
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


def show_page(run, name, caption):
    check(t.winctl("wait", caption, 60000)[0] == 0, "the wizard page %r did not come" % caption)
    time.sleep(0.5)
    texts = t.dialog_texts(caption)
    run.shoot("wizard-" + name)
    # A picture control's text is its resource number behind a 0xFF byte; only words are shown.
    words = [x for x in texts.all if x and not x.startswith("\xff")]
    run.note("page %r: %s" % (caption, " | ".join(words)[:150]))
    return texts


def leave_page(caption, button):
    check(t.winctl("press", caption, button)[0] == 0, "could not press %d on %r" % (button, caption))
    check(t.winctl("gone", caption, 60000)[0] == 0, "the page %r stayed" % caption)


def walk_wizard(run):
    run.step("Running setup.exe through its wizard on the virtual display, in German")
    setup = subprocess.Popen([t.WINE_RUN, os.path.join(run.package, "setup.exe")], cwd=run.package,
                             stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        show_page(run, "language", LANGUAGE_PAGE)
        # A key typed into the list selects the first language starting with it, as for a user.
        check(t.winctl("type", LANGUAGE_PAGE, LANGUAGE_LIST, "G")[0] == 0, "no language list")
        time.sleep(0.3)
        run.shoot("wizard-language-german")
        leave_page(LANGUAGE_PAGE, NEXT)
        for name, caption, button in PAGES:
            if button is None:
                if t.winctl("wait", caption, 5000)[0] == 0:
                    run.shoot("wizard-" + name)
                continue
            show_page(run, name, caption)
            leave_page(caption, button)
        code = setup.wait(timeout=60)
        check(code == 0, "setup.exe ended with exit code %d" % code)
        run.note("setup.exe ended with exit code 0")
    finally:
        if setup.poll() is None:
            setup.kill()
            setup.wait(10)


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
