"""Runs a command on an X server of its own and returns the command's status.

Usage: python3 with_xserver.py COMMAND [ARGUMENTS...]
"""

import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xsession import XServer  # noqa: E402


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    with XServer() as server:
        return subprocess.call(sys.argv[1:], env=server.environment())


if __name__ == '__main__':
    sys.exit(main())
