"""Shared pieces of the package tests: steps and their tally, a private X
server, screenshots and closing a window the way a window manager does."""
import os
import re
import subprocess
import sys
import tempfile
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import xdisplay  # noqa: E402
from xdisplay import is_red  # noqa: E402,F401


class Failed(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failed(message)


def wait_for(predicate, timeout, what):
    return xdisplay.wait_for(predicate, timeout, what, error=Failed, pause=0.2)


def run_status(command, **kwargs):
    """(status, stdout, stderr) of a command. The output goes through files,
    not pipes: a daemon the command leaves behind (wineserver -p, Wine's
    services) would hold a pipe open for ever."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        status = subprocess.run(command, stdout=out, stderr=err, stdin=subprocess.DEVNULL, **kwargs).returncode
        out.seek(0)
        err.seek(0)
        return status, out.read().decode(errors="replace"), err.read().decode(errors="replace")


def run(command, check_status=True, **kwargs):
    """Runs a command, returns its stdout; a non-zero status fails the step."""
    status, stdout, stderr = run_status(command, **kwargs)
    if check_status and status != 0:
        raise Failed(f"{' '.join(map(str, command))} exited {status}:\n{stdout}{stderr}")
    return stdout


class Suite:
    """Steps run in order; after the first failure the rest are skipped,
    since each builds on the ones before. Results go to stdout and, one
    line each, to the file named by PACKAGE_TEST_RESULTS."""

    def __init__(self, name):
        self.name = name
        self.failed = False
        self.results = []

    def step(self, title, function, *args):
        if self.failed:
            self._record("SKIP", title)
            return None
        started = time.monotonic()
        try:
            value = function(*args)
        except Failed as error:
            self.failed = True
            self._record("FAIL", title, str(error))
            return None
        except Exception:  # a broken test is a failure too, with its trace
            self.failed = True
            self._record("FAIL", title, traceback.format_exc())
            return None
        self._record("PASS", title, f"{time.monotonic() - started:.1f} s")
        return value

    def _record(self, status, title, detail=""):
        line = f"{status} {self.name}: {title}"
        print(line + (f" ({detail})" if status == "PASS" and detail else ""), flush=True)
        if status == "FAIL":
            print("  " + detail.replace("\n", "\n  "), flush=True)
        self.results.append(status)
        results = os.environ.get("PACKAGE_TEST_RESULTS")
        if results:
            with open(results, "a", encoding="utf-8") as f:
                f.write(f"{status} {self.name}: {title}\n")

    def exit(self):
        sys.exit(1 if self.failed else 0)


class Xvfb:
    """A private X server on a free display."""

    def __init__(self, screen="320x240x24"):
        self.process, self.display = xdisplay.start_xvfb(screen)

    def close(self):
        self.process.terminate()
        self.process.wait()

    def windows(self, title):
        """Ids of the mapped windows whose title is exactly `title`."""
        return xdisplay.windows(self.display, title)

    def pixel(self, x, y):
        """(r, g, b) of the root window at (x, y)."""
        return xdisplay.screenshot(self.display).pixel(x, y)

    def close_window(self, window):
        """Sends WM_DELETE_WINDOW, as a window manager's close button does."""
        xdisplay.close_window(self.display, window)


def red_bmp(width=8, height=8):
    """A 24-bit BMP filled with pure red."""
    row = b"\x00\x00\xff" * width
    row += b"\x00" * (-len(row) % 4)
    pixels = row * height
    header = b"BM" + (54 + len(pixels)).to_bytes(4, "little") + b"\0\0\0\0" + (54).to_bytes(4, "little")
    info = (40).to_bytes(4, "little") + width.to_bytes(4, "little") + height.to_bytes(4, "little") + \
        (1).to_bytes(2, "little") + (24).to_bytes(2, "little") + bytes(4) + len(pixels).to_bytes(4, "little") + \
        (2835).to_bytes(4, "little") * 2 + bytes(8)
    return header + info + pixels


def cmake_cache_value(build_dir, name):
    with open(os.path.join(build_dir, "CMakeCache.txt"), encoding="utf-8") as f:
        for line in f:
            match = re.match(rf"{re.escape(name)}:[A-Z]+=(.*)$", line.rstrip("\n"))
            if match:
                return match.group(1)
    raise Failed(f"{name} is not in {build_dir}/CMakeCache.txt")


def project_versions(source_dir):
    """(text, numeric) versions as the top-level CMakeLists.txt defines them."""
    with open(os.path.join(source_dir, "CMakeLists.txt"), encoding="utf-8") as f:
        text = f.read()
    numeric = re.search(r"project\(\s*\w+\s+VERSION\s+([0-9.]+)", text).group(1)
    # Shown as major, minor in two digits, build in four: 2.2.0.6 is 2.02.0006.
    major, minor, _, build = numeric.split(".")
    return f"{major}.{int(minor):02d}.{int(build):04d}", numeric
