"""One private X server and one private home for driving the real VLMR binary."""
import os
import pwd
import re
import resource
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import xdisplay  # noqa: E402
from xdisplay import CONVERT, Picture, start_xvfb  # noqa: E402,F401

VLMR = os.environ.get("VLMR", "")
# The Qt front end, which VLMR loads from beside itself for every course but
# the quiet boot run of a plain X11 session.
TOOLKIT = os.path.join(os.path.dirname(VLMR), "libvelmora-toolkit.so")


# One run log line: "YYYY-MM-DD HH:MM:SS pid LEVEL message".
LOG_LINE = re.compile(r"^(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d) (\d+) (info|error) (.*)$")


def log_events(text):
    """(pid, level, message) of each log line; a line in any other form fails the test."""
    events = []
    for line in text.splitlines():
        match = LOG_LINE.match(line)
        if not match:
            raise AssertionError(f"not a log line: {line!r}")
        events.append((int(match[2]), match[3], match[4]))
    return events


def wait_for(predicate, timeout=15.0, what="condition"):
    return xdisplay.wait_for(predicate, timeout, what)


class Session:
    """Xvfb on a free display, a fresh HOME and XDG folders, and helpers."""

    def __init__(self, screen="320x240x24"):
        self.root = tempfile.mkdtemp(prefix="vlmr-e2e-")
        self.xvfb, display = start_xvfb(screen)
        self.env = {k: v for k, v in os.environ.items()
                    if k not in ("XDG_CURRENT_DESKTOP", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE")}
        self.env.update(DISPLAY=display, HOME=self.path("home"),
                        XDG_CONFIG_HOME=self.path("config"), XDG_RUNTIME_DIR=self.path("run"),
                        XDG_STATE_HOME=self.path("state"))
        for folder in ("home", "config", "run", "state"):
            os.makedirs(self.path(folder), mode=0o700)
        self.app_folder = self.path("config", "velmora")
        self.log_file = self.path("state", "velmora", "VLMR.log")
        self.processes = []

    def path(self, *parts):
        return os.path.join(self.root, *parts)

    def log(self):
        """The run log's events so far, as log_events gives them."""
        if not os.path.exists(self.log_file):
            return []
        with open(self.log_file, encoding="utf-8", errors="replace") as text:
            return log_events(text.read())

    def close(self):
        for process in self.processes:
            if process.poll() is None:
                process.kill()
                process.wait()
        self.xvfb.terminate()
        self.xvfb.wait()
        shutil.rmtree(self.root, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    # --- the program ---
    def start(self, *args, env=None, address_space=None):
        """The program; address_space caps its virtual memory in bytes."""
        def limit():
            resource.setrlimit(resource.RLIMIT_AS, (address_space, address_space))

        process = subprocess.Popen([VLMR, *args], env=env or self.env, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE, preexec_fn=limit if address_space else None)
        self.processes.append(process)
        return process

    def as_nobody(self, *folders):
        """The command line that runs a copy of VLMR as user nobody, to whom the session's
        own folders and the named ones are given (root writes where nobody may not)."""
        nobody = pwd.getpwnam("nobody")
        os.chmod(self.root, 0o755)
        for name in ("home", "config", "run", "state", *folders):
            for path, _, files in os.walk(self.path(name)):
                for p in [path] + [os.path.join(path, f) for f in files]:
                    os.chown(p, nobody.pw_uid, nobody.pw_gid)
        # A copy the user can surely run, whatever the build folder's modes.
        program = self.copy_program("")
        os.chmod(program, 0o755)
        os.chmod(os.path.join(os.path.dirname(program), os.path.basename(TOOLKIT)), 0o755)
        return ["setpriv", f"--reuid={nobody.pw_uid}", f"--regid={nobody.pw_gid}", "--clear-groups", "--", program]

    def copy_program(self, folder, toolkit=True):
        """A copy of VLMR in a folder of the session, with its toolkit module beside it
        unless told otherwise; the copy's path."""
        os.makedirs(self.path(folder), exist_ok=True)
        program = self.path(folder, "VLMR")
        shutil.copy2(VLMR, program)
        if toolkit:
            shutil.copy2(TOOLKIT, self.path(folder, os.path.basename(TOOLKIT)))
        return program

    def write_app_file(self, name, data):
        os.makedirs(self.app_folder, exist_ok=True)
        with open(os.path.join(self.app_folder, name), "wb") as f:
            f.write(data if isinstance(data, bytes) else data.encode())

    def make_image(self, name, *convert_args):
        path = self.path(name)
        subprocess.run([CONVERT, *convert_args, path], check=True)
        return path

    # --- X11 ---
    def run(self, *command, check=True):
        return subprocess.run(command, env=self.env, capture_output=True, text=True, check=check).stdout

    def windows(self, title, pid):
        """Ids of the mapped windows of the process whose title is exactly `title`."""
        return xdisplay.windows(self.env["DISPLAY"], title, pid)

    def banners(self, pid):
        """The banner: a window of the process with no name at all, 245 x 50."""
        return [w for w in self.windows("", pid) if self.geometry(w)[2:] == (245, 50)]

    def wait_window(self, title, pid, timeout=15.0):
        return wait_for(lambda: self.windows(title, pid), timeout, f"window '{title}'")[0]

    def geometry(self, window):
        info = self.run("xwininfo", "-id", str(window))
        number = lambda label: int(re.search(label + r":\s+(-?\d+)", info).group(1))
        return (number("Absolute upper-left X"), number("Absolute upper-left Y"), number("Width"),
                number("Height"))

    def screenshot(self, window=None):
        return xdisplay.screenshot(self.env["DISPLAY"], window)

    def press(self, window, key):
        self.run("xdotool", "windowfocus", "--sync", str(window))
        self.run("xdotool", "key", key)

    def message_text(self, box):
        """The text of a message box: a triple click selects it into PRIMARY."""
        def letters():
            # Once painted, the rightmost dark pixel above the button row is a
            # letter of the text (the icon sits at the left).
            shot = self.screenshot(box)
            if sum(shot.pixel(1, 1)) < 600:
                return None  # not painted yet
            dark = [(x, y) for y in range(4, shot.height - 45) for x in range(shot.width)
                    if sum(shot.pixel(x, y)) < 200]
            return max(dark) if dark else None

        x, y = wait_for(letters, 10, "the text of the box")
        left, top, _, _ = self.geometry(box)
        self.run("xdotool", "mousemove", str(left + x), str(top + y), "click", "--repeat", "3", "--delay", "60", "1")
        return wait_for(lambda: self.run("xclip", "-o", "-selection", "primary", check=False), 5, "selection")

    def close_window(self, window):
        """Ask the window to close, as a window manager's close button does."""
        xdisplay.close_window(self.env["DISPLAY"], window)


def finished(process, timeout=20):
    """Exit code of the process, which must end within the timeout."""
    return process.wait(timeout=timeout)


def check(condition, message):
    if not condition:
        raise AssertionError(message)


red = xdisplay.is_red
