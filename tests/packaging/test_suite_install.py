"""The short form of the main job: the suite's package installed unattended into the test
prefix, the installed host and one installed client sharing the simulated line on loopback,
then the uninstaller, after which nothing of the product is left."""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import suite  # noqa: E402
from suite import CLIENT_KEY, HOST_KEY, t  # noqa: E402


class SuiteInstallAndRemoval(unittest.TestCase):
    def setUp(self):
        # A prefix of its own: an installation that fails half-way must not leave the product
        # in the prefix the other tests share.
        session = os.environ["TELVANE_SESSION"]
        self.output = tempfile.mkdtemp(prefix="suite-install-", dir=session)
        self.prefix = os.path.join(self.output, "prefix")
        subprocess.run(["cp", "-a", os.path.join(session, "prefix"), self.prefix], check=True, timeout=180)
        os.environ["TELVANE_WINEPREFIX"] = self.prefix
        self.run_ = suite.Run(os.environ["TELVANE_PACKAGE"], self.output, quiet=True)

    def tearDown(self):
        t.reg_delete_key(HOST_KEY)
        t.reg_delete_key(CLIENT_KEY)
        subprocess.run(["env", "WINEPREFIX=" + self.prefix, "wineserver", "-k"], timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.environ.pop("TELVANE_WINEPREFIX", None)
        shutil.rmtree(self.output, ignore_errors=True)

    def test_install_connect_and_remove(self):
        run = self.run_
        port = t.free_port()
        run.configure_loopback(port)
        run.install_unattended()
        run.check_installation()
        run.run_programs(port, client_count=1, screenshots=False)
        run.uninstall()
        run.check_nothing_left()


if __name__ == "__main__":
    unittest.main(verbosity=2)
