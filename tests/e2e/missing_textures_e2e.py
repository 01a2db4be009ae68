"""End-to-end test: the program started from a folder without textures/.

Run:  python3 missing_textures_e2e.py PROGRAM WORKDIR
PROGRAM is the fountain executable; WORKDIR the folder with textures/ that
the program normally runs in, used here for the textured picture to compare
with. The test makes an empty temporary folder, starts the program there on
an X server of its own, and expects it to keep running and drawing the
fountain without its images, and to end with status 0 when its window is
closed. A failing run leaves its screenshots in WORKDIR as e2e-*.ppm.
"""

import os
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xsession  # noqa: E402
from xsession import XServer  # noqa: E402

PROGRAM = None
WORKDIR = None

SETTLE_SECONDS = 2.0


class MissingTexturesTest(unittest.TestCase):

    def picture(self, cwd):
        """Runs the program in cwd; returns its screenshot, exit status and output."""
        with XServer(640, 512) as server:
            process = subprocess.Popen([PROGRAM], cwd=cwd, env=server.environment(),
                                       stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
            try:
                window = server.waitForWindow(minimumSize=(server.width, server.height))
                self.assertIsNotNone(window, 'no full-screen window appeared')
                time.sleep(SETTLE_SECONDS)
                self.assertIsNone(process.poll(), 'the program ended early')
                image = server.screenshot()
                server.closeWindow(window)
                status = process.wait(15)
            finally:
                output = xsession.finishProgram(process)
            return image, status, output

    def test_runs_and_shows_the_untextured_fountain(self):
        with tempfile.TemporaryDirectory(prefix='fountain-no-textures-') as empty:
            self.assertFalse(os.path.exists(os.path.join(empty, 'textures')))
            bare, status, output = self.picture(empty)
        textured, texturedStatus, _ = self.picture(WORKDIR)
        try:
            self.assertEqual(status, 0, output)
            self.assertEqual(texturedStatus, 0)
            # The fountain is there: the screen is covered and not uniform,
            # the back wall stands in the upper middle, the corners are empty.
            whole = bare.region(0, 0, 1, 1, step=4)
            self.assertGreater(whole.covered, 0.25, 'screen mostly empty: %r' % whole)
            self.assertGreater(whole.spread, 20, 'screen nearly uniform: %r' % whole)
            wall = bare.region(0.4, 0.15, 0.6, 0.35)
            self.assertGreater(wall.covered, 0.95, 'no back wall: %r' % wall)
            self.assertLess(bare.region(0, 0, 0.1, 0.1).covered, 0.05)
            # ... and it is drawn without the images: a patch of the wall
            # beside the upper basin shows no marble veins, where the
            # textured wall has them.
            patch = (0.3, 0.15, 0.38, 0.3)
            barePatch, texturedPatch = bare.region(*patch), textured.region(*patch)
            self.assertGreater(texturedPatch.spread, 2.0, 'textured wall: %r' % texturedPatch)
            self.assertLess(barePatch.spread, 1.0, 'bare wall: %r' % barePatch)
        except AssertionError:
            bare.savePpm(os.path.join(WORKDIR, 'e2e-missing-textures-bare.ppm'))
            textured.savePpm(os.path.join(WORKDIR, 'e2e-missing-textures-textured.ppm'))
            raise


if __name__ == '__main__':
    PROGRAM, WORKDIR = xsession.programAndFolder(__doc__)
    unittest.main(argv=xsession.unittestArguments(), verbosity=2)
