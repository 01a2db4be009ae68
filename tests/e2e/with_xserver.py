"""Runs a command on an X server of its own and returns the command's status.

Usage: python3 with_xserver.py [--expect PATTERN] COMMAND [ARGUMENTS...]

With --expect, the command's output (standard output and error together) is
passed on and must also contain a match of the regular expression PATTERN:
the test then fails when the command fails, even after printing all it
should, and when it succeeds without printing it.
"""

import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xsession import XServer  # noqa: E402


def main():
    arguments = sys.argv[1:]
    pattern = None
    if arguments[:1] == ['--expect']:
        if len(arguments) < 2:
            sys.exit(__doc__)
        pattern = re.compile(arguments[1])
        arguments = arguments[2:]
    if not arguments:
        sys.exit(__doc__)
    with XServer() as server:
        if pattern is None:
            return subprocess.call(arguments, env=server.environment())
        # Passed on line by line, so a run stopped by a time-out still shows
        # how far it came.
        command = subprocess.Popen(arguments, env=server.environment(),
                                   stdout=subprocess.PIPE,
                                   stderr=subprocess.STDOUT)
        lines = []
        for line in command.stdout:
            sys.stdout.buffer.write(line)
            sys.stdout.flush()
            lines.append(line)
        status = command.wait()
    output = b''.join(lines).decode('utf-8', 'replace')
    if status != 0:
        print('with_xserver: the command ended with status %d' % status)
        return 1
    if not pattern.search(output):
        print('with_xserver: no match in the output for ' + pattern.pattern)
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main())
