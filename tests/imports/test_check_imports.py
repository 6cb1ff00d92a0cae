#!/usr/bin/env python3
"""The import check refuses what Windows 95 / NT 4 cannot load, naming binary, DLL and call."""
import os
import subprocess
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
CHECK = os.path.join(HERE, "check_imports.py")
PROBE_DIR = os.environ["TELVANE_PROBE_DIR"]


def run_check(*files):
    result = subprocess.run([sys.executable, CHECK] + list(files), capture_output=True, text=True)
    return result.returncode, result.stdout


class ImportCheckTest(unittest.TestCase):
    def test_vista_import_is_refused_by_name(self):
        code, out = run_check(os.path.join(PROBE_DIR, "import_probe.exe"))
        self.assertEqual(code, 1, out)
        self.assertIn("import_probe.exe: imports GetTickCount64 from KERNEL32.dll", out)

    def test_newer_pe_header_is_refused(self):
        code, out = run_check(os.path.join(PROBE_DIR, "import_probe_nt6.exe"))
        self.assertEqual(code, 1, out)
        self.assertIn("import_probe_nt6.exe: subsystem version in the PE header is 6.0, not 4.0", out)
        self.assertIn("import_probe_nt6.exe: OS version in the PE header is 6.0, not 4.0", out)

    def test_file_that_is_no_program(self):
        code, out = run_check(CHECK)
        self.assertEqual(code, 1, out)
        self.assertIn("check_imports.py: cannot be read: not a Windows program", out)


if __name__ == "__main__":
    unittest.main(verbosity=2)
