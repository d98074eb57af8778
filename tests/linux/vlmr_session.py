"""One private X server and one private home for driving the real VLMR binary."""
import ctypes
import os
import pwd
import re
import resource
import shutil
import subprocess
import tempfile
import time

VLMR = os.environ.get("VLMR", "")
CONVERT = "/usr/bin/convert"  # the real ImageMagick, not a stand-in


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
    end = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > end:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(0.05)


class Picture:
    """Pixels of a screenshot, read from ImageMagick's PPM output."""

    def __init__(self, xwd_bytes):
        ppm = subprocess.run([CONVERT, "xwd:-", "ppm:-"], input=xwd_bytes, capture_output=True, check=True).stdout
        # Header: P6, width, height, maxval, each maybe after '#' comment lines.
        header = re.match(rb"P6(?:\s+|#[^\n]*\n)*(\d+)(?:\s+|#[^\n]*\n)*(\d+)(?:\s+|#[^\n]*\n)*(\d+)\s", ppm)
        self.width, self.height = int(header.group(1)), int(header.group(2))
        self.data = ppm[header.end():]
        self.xwd = xwd_bytes

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.data[i:i + 3])

    def save_png(self, path):
        subprocess.run([CONVERT, "xwd:-", path], input=self.xwd, check=True)


def start_xvfb(screen="320x240x24"):
    """An Xvfb on a free display, once it accepts clients: (process, display name)."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-noreset", "-nolisten", "tcp",
                             "-screen", "0", screen], pass_fds=[write_end],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number:
        raise RuntimeError("Xvfb did not start")
    return xvfb, ":" + number


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
        program = self.path("VLMR")
        shutil.copy2(VLMR, program)
        os.chmod(program, 0o755)
        return ["setpriv", f"--reuid={nobody.pw_uid}", f"--regid={nobody.pw_gid}", "--clear-groups", "--", program]

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
        found = self.run("xdotool", "search", "--all", "--onlyvisible", "--pid", str(pid), "--name",
                         "^" + re.escape(title) + "$", check=False)
        return [int(w) for w in found.split()]

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
        target = ["-id", str(window)] if window else ["-root"]
        xwd = subprocess.run(["xwd", "-silent", *target], env=self.env, capture_output=True, check=True).stdout
        return Picture(xwd)

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
        x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XInternAtom.restype = ctypes.c_ulong
        x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
        x11.XFlush.argtypes = x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

        class ClientMessage(ctypes.Structure):
            _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                        ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                        ("format", ctypes.c_int), ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]

        display = x11.XOpenDisplay(self.env["DISPLAY"].encode())
        event = ClientMessage(type=33, window=window, format=32,
                              message_type=x11.XInternAtom(display, b"WM_PROTOCOLS", 0))
        event.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
        x11.XSendEvent(display, window, 0, 0, ctypes.byref(event))
        x11.XFlush(display)
        x11.XCloseDisplay(display)


def finished(process, timeout=20):
    """Exit code of the process, which must end within the timeout."""
    return process.wait(timeout=timeout)


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def red(pixel):
    return pixel[0] > 200 and pixel[1] < 50 and pixel[2] < 50
