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

# The wizard as the suite's English.dat titles its pages, and the button that moves on.
IDOK_NEXT, IDYES, FINISH = 1003, 6, 1018
PAGES = [
    ("language", "Telvane Setup - Language", IDOK_NEXT),
    ("welcome", "Welcome to Telvane Setup", IDOK_NEXT),
    ("licence", "Telvane Licence Agreement", IDYES),
    ("readme", "About this Telvane release", IDOK_NEXT),
    ("folder", "Choose the Telvane Folder", IDOK_NEXT),
    ("start-menu-folder", "Choose the Start Menu Folder", IDOK_NEXT),
    ("ready", "Ready to Install Telvane", IDOK_NEXT),
    ("finish", "Telvane Setup is Complete", FINISH),
]


def walk_wizard(run):
    run.step("Running setup.exe through its wizard on the virtual display")
    setup = subprocess.Popen([t.WINE_RUN, os.path.join(run.package, "setup.exe")], cwd=run.package,
                             stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        for name, caption, button in PAGES:
            check(t.winctl("wait", caption, 60000)[0] == 0, "the wizard page %r did not come" % caption)
            time.sleep(0.5)
            texts = t.dialog_texts(caption)
            run.shoot("wizard-" + name)
            run.note("page %r: %s" % (caption, " | ".join(x for x in texts.all if x)[:160]))
            check(t.winctl("press", caption, button)[0] == 0, "could not press %d on %r" % (button, caption))
            check(t.winctl("gone", caption, 60000)[0] == 0, "the page %r stayed" % caption)
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
    print("\nTelvane main job: %s. Report: %s" % (outcome, report))
    return 0 if outcome == "all steps passed" else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
