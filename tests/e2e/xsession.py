"""A private X server for end-to-end tests and the few X requests they need.

Every test starts its own Xvfb, which picks a free display number itself
(-displayfd), so tests can run side by side and need no DISPLAY of their own.
Screenshots are read straight from the server as 32-bit pixels; regions of
them are summarised by their mean colour and spread, so the checks compare
coarse areas, not single pixels.
"""

import os
import select
import subprocess
import sys
import time

from Xlib import X, display as xdisplay, protocol


def programAndFolder(usage):
    """The program under test and its working folder, from the command line
    (the rest of it goes to unittest); exits with usage if they are missing."""
    if len(sys.argv) < 3:
        sys.exit(usage)
    return os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])


def unittestArguments():
    return [sys.argv[0]] + sys.argv[3:]


def finishProgram(process):
    """Kills the program if it is still running and returns what it printed."""
    if process.poll() is None:
        process.kill()
        process.wait()
    output = process.stdout.read().decode(errors='replace')
    process.stdout.close()
    return output


class XServer:
    """An Xvfb on a display number of its own choosing; a context manager.

    With endsWithLastClient the server exits when its last client leaves, as
    a server may reset then, and the test gets its own connection only when
    it calls connect()."""

    def __init__(self, width=640, height=512, endsWithLastClient=False):
        self.width = width
        self.height = height
        self.endsWithLastClient = endsWithLastClient
        self.process = None
        self.name = None
        self.connection = None

    def __enter__(self):
        readFd, writeFd = os.pipe()
        command = ['Xvfb', '-displayfd', str(writeFd), '-nolisten', 'tcp',
                   '-screen', '0', '%dx%dx24' % (self.width, self.height)]
        if self.endsWithLastClient:
            command.append('-terminate')
        self.process = subprocess.Popen(
            command,
            pass_fds=(writeFd,), stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        os.close(writeFd)
        number = b''
        deadline = time.time() + 10
        while not number.endswith(b'\n') and time.time() < deadline:
            ready, _, _ = select.select([readFd], [], [], 0.5)
            if ready:
                chunk = os.read(readFd, 16)
                if not chunk:
                    break
                number += chunk
        os.close(readFd)
        if not number.strip():
            self.__exit__(None, None, None)
            raise RuntimeError('Xvfb did not start')
        self.name = ':' + number.decode().strip()
        if not self.endsWithLastClient:
            self.connect()
        return self

    def connect(self):
        self.connection = xdisplay.Display(self.name)

    def __exit__(self, *exc):
        if self.connection is not None:
            self.connection.close()
            self.connection = None
        if self.process is not None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
            self.process = None
        return False

    def environment(self):
        env = dict(os.environ)
        env['DISPLAY'] = self.name
        # Keep the Qt binding on X11 and quiet about its runtime directory.
        env['QT_QPA_PLATFORM'] = 'xcb'
        env.setdefault('XDG_RUNTIME_DIR', '/tmp')
        return env

    def root(self):
        return self.connection.screen().root

    def viewableWindows(self):
        """Top-level windows that are mapped (what a user could see)."""
        windows = []
        for window in self.root().query_tree().children:
            try:
                if window.get_attributes().map_state == X.IsViewable:
                    windows.append(window)
            except Exception:  # the window went away meanwhile
                pass
        return windows

    def waitForWindow(self, timeout=15.0, minimumSize=(2, 2)):
        """The first viewable top-level window bigger than minimumSize."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            for window in self.viewableWindows():
                geometry = window.get_geometry()
                if geometry.width >= minimumSize[0] and geometry.height >= minimumSize[1]:
                    return window
            time.sleep(0.1)
        return None

    def screenshot(self):
        """The whole screen as an Image."""
        reply = self.root().get_image(0, 0, self.width, self.height,
                                      X.ZPixmap, 0xffffffff)
        return Image(self.width, self.height, reply.data)

    def closeWindow(self, window):
        """Asks the window to close, as a window manager's close button does."""
        protocols = self.connection.intern_atom('WM_PROTOCOLS')
        deleteWindow = self.connection.intern_atom('WM_DELETE_WINDOW')
        event = protocol.event.ClientMessage(
            window=window, client_type=protocols,
            data=(32, [deleteWindow, X.CurrentTime, 0, 0, 0]))
        window.send_event(event, event_mask=0)
        self.connection.flush()

    def xdotool(self, *args):
        subprocess.run(['xdotool'] + [str(a) for a in args],
                       env=self.environment(), check=True, timeout=20)


class Image:
    """Pixels of a 24-bit screen, four bytes each (blue, green, red, pad)."""

    def __init__(self, width, height, data):
        self.width = width
        self.height = height
        self.data = bytes(data)

    def pixel(self, x, y):
        offset = (y * self.width + x) * 4
        blue, green, red = self.data[offset], self.data[offset + 1], self.data[offset + 2]
        return red, green, blue

    def region(self, left, top, right, bottom, step=2):
        """Statistics of the area given in fractions of the screen."""
        x0, x1 = int(left * self.width), int(right * self.width)
        y0, y1 = int(top * self.height), int(bottom * self.height)
        return Region([self.pixel(x, y)
                       for y in range(y0, y1, step) for x in range(x0, x1, step)])

    def difference(self, other, left, top, right, bottom, step=2):
        """Mean absolute difference of grey values over an area, 0..255."""
        x0, x1 = int(left * self.width), int(right * self.width)
        y0, y1 = int(top * self.height), int(bottom * self.height)
        total = 0
        count = 0
        for y in range(y0, y1, step):
            for x in range(x0, x1, step):
                total += abs(sum(self.pixel(x, y)) - sum(other.pixel(x, y))) / 3.0
                count += 1
        return total / max(count, 1)

    def savePpm(self, path):
        with open(path, 'wb') as out:
            out.write(b'P6\n%d %d\n255\n' % (self.width, self.height))
            rgb = bytearray()
            for y in range(self.height):
                for x in range(self.width):
                    rgb.extend(self.pixel(x, y))
            out.write(bytes(rgb))


class Region:
    """Grey-level statistics of a set of pixels."""

    BACKGROUND = 12  # grey level up to which a pixel counts as empty screen

    def __init__(self, pixels):
        greys = [sum(p) / 3.0 for p in pixels]
        self.count = len(greys)
        self.mean = sum(greys) / max(self.count, 1)
        self.spread = (sum((g - self.mean) ** 2 for g in greys) / max(self.count, 1)) ** 0.5
        self.covered = sum(1 for g in greys if g > Region.BACKGROUND) / max(self.count, 1)

    def __repr__(self):
        return 'Region(mean=%.1f, spread=%.1f, covered=%.2f)' % (
            self.mean, self.spread, self.covered)
