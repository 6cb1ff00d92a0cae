"""Shared pieces of the setup tests: scratch packages, Wine paths and the box-reading runner."""
import os
import shutil
import subprocess
import tempfile
import zipfile

BIN = os.environ.get("TELVANE_BIN", "")
WINE_RUN = os.environ.get("TELVANE_WINE_RUN", "")


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def crlf(*lines):
    return "".join(line + "\r\n" for line in lines).encode("latin-1")


def make_zip(path):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        archive.writestr("readme.txt", "Telvane\r\n")


class Package:
    """A folder with a copy of a program and the files a test puts beside it."""

    def __init__(self, program):
        self.folder = tempfile.mkdtemp(prefix="setup-test-", dir=os.environ.get("TELVANE_SESSION"))
        self.program = os.path.join(self.folder, program)
        shutil.copy(os.path.join(BIN, program), self.program)

    def write(self, name, data):
        with open(os.path.join(self.folder, name), "wb") as out:
            out.write(data)

    def cleanup(self):
        shutil.rmtree(self.folder, ignore_errors=True)


def run_wine(args, env=None, timeout=120, cwd=None):
    merged = dict(os.environ)
    merged.update(env or {})
    # Output goes through files, not pipes: a Wine server started by this program would keep
    # a pipe open long after the program itself has ended.
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        completed = subprocess.run([WINE_RUN] + args, stdout=out, stderr=err, stdin=subprocess.DEVNULL,
                                   timeout=timeout, env=merged, cwd=cwd)
        out.seek(0)
        err.seek(0)
        return subprocess.CompletedProcess(completed.args, completed.returncode,
                                           out.read().decode("latin-1"), err.read().decode("latin-1"))


def run_setup(package, args=(), cwd=None, seconds=60):
    """Runs setup.exe through setup_runner; returns (boxes, windows, exit code)."""
    result = run_wine([os.path.join(BIN, "setup_runner.exe"), str(seconds),
                       windows_path(cwd or package.folder), windows_path(package.program)] + list(args),
                      timeout=seconds + 60)
    boxes, windows, code = [], [], None
    for line in result.stdout.splitlines():
        line = line.rstrip("\r")
        parts = line.split("|")
        if parts[0] == "box":
            boxes.append((parts[1], "|".join(parts[2:])))
        elif parts[0] == "window":
            windows.append("|".join(parts[1:]))
        elif parts[0] == "exit":
            code = int(parts[1])
        elif parts[0] in ("timeout", "start-failed"):
            raise AssertionError("setup_runner: " + line)
    return boxes, windows, code
