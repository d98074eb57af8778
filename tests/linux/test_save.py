"""The save of the real `VLMR Config` under a private Xvfb, driven with xdotool,
and the credit label's browser.

usage: test_save.py twelve | types | progress [SCREENSHOT_PNG] | refused | unreadable | loop | kept | browser
"""
import ctypes
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

from test_configurator import TITLE, Configurator, ini
from vlmr_session import Session, check, finished, wait_for

HOME_PAGE = os.environ.get("VELMORA_HOME_PAGE", "https://velmora.example/")
WAIT_SIZE = (211, 39)  # the progress window
PLEASE_WAIT = "Please Wait....."
RESTART = "Velmora Must Be Restarted"
COLOURS = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0), (255, 0, 255), (0, 255, 255), (128, 0, 0),
           (0, 128, 0), (0, 0, 128), (128, 128, 0), (128, 0, 128), (0, 128, 128)]


# --- the X side: events of the top-level windows, and iconifying as a window manager would ---

class WindowChanges(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                ("border_width", ctypes.c_int), ("sibling", ctypes.c_ulong), ("stack_mode", ctypes.c_int)]


ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)


class WindowWatch(threading.Thread):
    """The least of a window manager, on a connection of its own: it grants every map and
    configure request as asked, and a window that asks to be iconified (ICCCM
    WM_CHANGE_STATE, which Qt sends to the redirecting client only) is unmapped and marked
    Iconic, and marked Normal when it maps itself again. It logs maps, unmaps and iconify
    requests; `freeze` stops a process as soon as one of its windows of a given size maps."""

    def __init__(self, display):
        super().__init__(daemon=True)
        x11 = self.x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
        x11.XInitThreads()
        # A window may be gone by the time it is looked at: no exit on that error.
        self.ignore_errors = ERROR_HANDLER(lambda display, error: 0)
        x11.XSetErrorHandler.argtypes = [ERROR_HANDLER]
        x11.XSetErrorHandler(self.ignore_errors)
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XDefaultRootWindow.restype = ctypes.c_ulong
        x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x11.XInternAtom.restype = ctypes.c_ulong
        x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        x11.XPending.argtypes = x11.XFlush.argtypes = x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        x11.XUnmapWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        x11.XChangeProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_int,
                                        ctypes.c_int, ctypes.c_void_p, ctypes.c_int]
        x11.XGetGeometry.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_void_p] * 7
        x11.XMapWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        x11.XConfigureWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_uint, ctypes.c_void_p]
        self.display = x11.XOpenDisplay(display.encode())
        self.root = x11.XDefaultRootWindow(self.display)
        self.wm_change_state = x11.XInternAtom(self.display, b"WM_CHANGE_STATE", 0)
        self.wm_state = x11.XInternAtom(self.display, b"WM_STATE", 0)
        x11.XSelectInput(self.display, self.root, (1 << 19) | (1 << 20))  # SubstructureNotify, SubstructureRedirect
        x11.XFlush(self.display)
        self.log = []
        self.iconic = set()
        self.freezing = None
        self.frozen = None
        self.running = True
        self.start()

    def size(self, window):
        values = [ctypes.c_ulong(), ctypes.c_int(), ctypes.c_int(), ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint(),
                  ctypes.c_uint()]
        self.x11.XGetGeometry(self.display, window, *[ctypes.byref(v) for v in values])
        return values[3].value, values[4].value

    def set_state(self, window, state):
        data = (ctypes.c_long * 2)(state, 0)
        self.x11.XChangeProperty(self.display, window, self.wm_state, self.wm_state, 32, 0, data, 2)

    def freeze(self, pid, size):
        self.freezing = (pid, size)

    def run(self):
        event = (ctypes.c_long * 24)()
        while self.running:
            if not self.x11.XPending(self.display):
                time.sleep(0.002)
                continue
            self.x11.XNextEvent(self.display, event)
            kind = ctypes.c_int.from_buffer(event).value
            if kind == 19:  # MapNotify
                window = event[5]
                self.log.append(("map", window))
                if window in self.iconic:
                    self.iconic.discard(window)
                    self.set_state(window, 1)  # NormalState
                if self.freezing and self.size(window) == self.freezing[1]:
                    os.kill(self.freezing[0], signal.SIGSTOP)
                    self.frozen, self.freezing = window, None
            elif kind == 20:  # MapRequest: granted as asked
                self.x11.XMapWindow(self.display, event[5])
            elif kind == 23:  # ConfigureRequest: granted as asked
                ints = (ctypes.c_int * 48).from_buffer(event)
                changes = WindowChanges(*ints[12:17], event[9], ints[20])
                self.x11.XConfigureWindow(self.display, event[5], event[11] & 0x7F, ctypes.byref(changes))
            elif kind == 18:  # UnmapNotify
                self.log.append(("unmap", event[5]))
            elif kind == 33 and event[5] == self.wm_change_state and event[7] == 3:  # to IconicState
                window = event[4]
                self.log.append(("iconify", window))
                self.iconic.add(window)
                self.x11.XUnmapWindow(self.display, window)
                self.set_state(window, 3)
            self.x11.XFlush(self.display)

    def close(self):
        self.running = False
        self.join()
        self.x11.XCloseDisplay(self.display)


def keep_keys(display, text):
    """Gives each non-ASCII letter of the text a key of its own on the display. Otherwise
    xdotool maps one for the moment of the key press, and a busy program may read the press
    after the mapping is gone."""
    letters = sorted({c for c in text if ord(c) > 127})
    if not letters:
        return
    x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XDisplayKeycodes.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_void_p]
    x11.XGetKeyboardMapping.restype = ctypes.POINTER(ctypes.c_ulong)
    x11.XGetKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_ubyte, ctypes.c_int, ctypes.c_void_p]
    x11.XChangeKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_void_p, ctypes.c_int]
    x11.XFree.argtypes = [ctypes.c_void_p]
    x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(display.encode())
    low, high, per = ctypes.c_int(), ctypes.c_int(), ctypes.c_int()
    x11.XDisplayKeycodes(display, ctypes.byref(low), ctypes.byref(high))
    syms = x11.XGetKeyboardMapping(display, low.value, high.value - low.value + 1, ctypes.byref(per))
    free = [low.value + i for i in range(high.value - low.value + 1)
            if not any(syms[i * per.value + j] for j in range(per.value))]
    x11.XFree(syms)
    for letter, keycode in zip(letters, free):
        keysym = ord(letter) if ord(letter) <= 0xFF else 0x01000000 + ord(letter)
        row = (ctypes.c_ulong * per.value)(*([keysym, keysym] + [0] * (per.value - 2)))
        x11.XChangeKeyboardMapping(display, keycode, per.value, row, 1)
    x11.XSync(display, 0)
    x11.XCloseDisplay(display)


# --- the program ---

class Save(Configurator):
    """A `VLMR Config` run with its own command line (for another user) or the usual one."""

    def __init__(self, session, command=None):
        if command:
            self.session = session
            self.process = subprocess.Popen(command, env=session.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
            session.processes.append(self.process)
            self.window = session.wait_window(TITLE, self.process.pid)
        else:
            super().__init__(session)

    def choose(self, folder, style="OStretch"):
        """Types the folder into the empty path field and picks a style."""
        keep_keys(self.session.env["DISPLAY"], folder)
        self.click("IPath")
        self.session.run("xdotool", "windowfocus", "--sync", str(self.window))
        self.session.run("xdotool", "type", "--delay", "5", folder)
        check(self.field_text() == folder, f"the field holds {self.field_text()!r}, not {folder!r}")
        if style:
            self.click(style, dx=6)

    def message(self, title, text, timeout=30):
        """Waits for the message box of that title (never the progress window) and checks its text."""
        pid = self.process.pid
        boxes = lambda: [w for w in self.session.windows(title, pid) if self.session.geometry(w)[2:] != WAIT_SIZE]
        box = wait_for(boxes, timeout, f"the box '{title}'")[0]
        shown = box_text(self.session, box)
        check(shown == text.replace("\r\n", "\n"), f"the box '{title}' says {shown!r}, expected {text!r}")
        return box

    def dismiss(self, box):
        self.session.press(box, "Return")
        wait_for(lambda: "IsViewable" not in self.session.run("xwininfo", "-id", str(box), check=False), 10,
                 "the box to close")

    def answer(self, title, text, timeout=30):
        self.dismiss(self.message(title, text, timeout))

    def open(self):
        """The configurator is up, restored, titled as usual."""
        check(self.process.poll() is None, "the program ended")
        check(self.window in self.session.windows(TITLE, self.process.pid), "the configurator is not shown")


def box_text(session, box):
    """All lines of a message box's text: selected with a drag from the end of its last
    line (wrapped or not) to the box's corner."""
    def letters():
        shot = session.screenshot(box)
        if sum(shot.pixel(1, 1)) < 600:
            return None  # not painted yet
        # Above the button row and right of the icon, the lowest dark pixels are the last
        # line's letters; its rightmost one ends the text.
        dark = [(x, y) for y in range(4, shot.height - 45) for x in range(50, shot.width) if sum(shot.pixel(x, y)) < 200]
        if not dark:
            return None
        bottom = max(y for _, y in dark)
        return max((x, y) for x, y in dark if y > bottom - 8)

    x, y = wait_for(letters, 10, "the text of the box")
    left, top, _, _ = session.geometry(box)
    # A fresh marker first, so an earlier selection is never taken for this one.
    marker = f"(box {box} {time.monotonic()})"
    subprocess.run(["xclip", "-selection", "primary"], input=marker.encode(), env=session.env, check=True)
    session.run("xdotool", "mousemove", str(left + x + 2), str(top + y), "mousedown", "1",
                "mousemove", str(left + 1), str(top + 1), "sleep", "0.05", "mouseup", "1")
    return wait_for(lambda: (lambda text: text != marker and text)(session.run("xclip", "-o", "-selection", "primary",
                                                                              check=False)), 5, "selection")


def app_file(session, name):
    return os.path.join(session.app_folder, name)


def image_list(session):
    with open(app_file(session, "IPaths.dat"), "rb") as f:
        return f.read()


def walk_order(folder, skip=(), types=()):
    """The bitmaps of the tree in the scan's order: readdir order (os.scandir gives the
    same), every sub-folder's tree before the folder's own files; and the files (never
    folders) of the extra types."""
    entries = list(os.scandir(folder))
    found = []
    for entry in entries:
        if entry.is_dir() and entry.name not in skip:
            if entry.name.upper().endswith(".BMP"):
                found.append(entry.path)
            found += walk_order(entry.path, skip, types)
    return found + [e.path for e in entries if e.is_file() and e.name.upper().endswith((".BMP", *types))]


def touch(*paths):
    for path in paths:
        os.makedirs(os.path.dirname(path), exist_ok=True)
        open(path, "w").close()


def successful_save(save, folder, images, options=""):
    """From the click on the save button to the end of the program."""
    save.click("PSave")
    box = save.message("VLMR", f"{len(images)} Images Found")
    check("Path=" not in ini(save.session), "Path was written before the count was acknowledged")
    save.dismiss(box)
    save.answer("VLMR", RESTART)
    check(finished(save.process) == 0, "the save did not end the program with 0")
    listed = image_list(save.session)
    expected = "".join(p + "\r\n" for p in images).encode()
    check(listed == expected, f"IPaths.dat is\n{listed!r}\nnot\n{expected!r}")
    check(ini(save.session) == f"[VLMR]\r\nStyle=Stretch\r\nPath={folder}\r\n{options}",
          f"Config.ini is {ini(save.session)!r}")
    check(os.path.exists(app_file(save.session, "Installed")), "no installed marker")


# --- the scenarios ---

def twelve(session):
    folder = session.path("Bilder für Lena")
    names = ["a.bmp", "Sub One/b.BMP", "Sub One/tiefer ö/c.bmp", "Sub One/tiefer ö/d.Bmp",
             "Sub One/tiefer ö/unten/e.bmp", "zeta/f.bmp", "zeta/g.bmp", "x/y/z/h.bmp", "ñandú/i.bmp",
             "ñandú/j.bmp", "ñandú/k.bmp", "l.bmp"]
    for name, (r, g, b) in zip(names, COLOURS):
        os.makedirs(os.path.dirname(os.path.join(folder, name)), exist_ok=True)
        subprocess.run(["/usr/bin/convert", "-size", "4x4", f"xc:rgb({r},{g},{b})", "-type", "TrueColor",
                        "BMP3:" + os.path.join(folder, name)], check=True)
    touch(*[os.path.join(folder, n) for n in ["top.jpg", "notes.txt", "bmp", "photo.bmpx", "zeta/readme.txt",
                                               "ñandú/bild.jpeg", "empty/.hidden", "Sub One/tiefer ö/x.bmp.txt"]])
    # A user's file of the test file's name is overwritten in place, then removed.
    witness = session.path("witness")
    with open(witness, "w") as f:
        f.write("the user's own\n")
    os.link(witness, os.path.join(folder, "VLMR-Test.VLMR"))

    save = Save(session)
    save.choose(folder)
    wait_for(lambda: ini(session) == "[VLMR]\r\nStyle=Stretch\r\n", 5, "Style=Stretch in Config.ini")
    images = walk_order(folder)
    check(len(images) == 12, f"the tree holds {len(images)} bitmaps")
    successful_save(save, folder, images)
    check(not os.path.exists(os.path.join(folder, "VLMR-Test.VLMR")), "the test file is left in the folder")
    with open(witness, "rb") as f:
        check(f.read() == b"Testing 4 Valid Path\r\n", "the test file was not written over the user's file")

    # The next start without arguments is a boot run with the new list.
    boot = session.start()
    check(finished(boot) == 0, f"the boot run exited {boot.returncode}: {boot.stderr.read()!r}")
    wait_for(lambda: not session.windows("", boot.pid), what="the banner to go")
    shot = session.screenshot()
    colour = shot.pixel(shot.width // 2, shot.height // 2)
    check(colour in COLOURS, f"the root is {colour}, none of the twelve")
    for point in [(0, 0), (shot.width - 1, shot.height - 1)]:
        check(shot.pixel(*point) == colour, f"{point} is {shot.pixel(*point)}, not stretched {colour}")


def types(session):
    """Picture types turned on by hand: files of those types join the bitmaps in the walk's
    order, in any letter case; a folder named like one is walked but not listed, a type left
    off is not listed. Each type then goes up on the X11 root, drawn by VLMR itself."""
    folder = session.path("mixed")
    colours = {"a.bmp": (255, 0, 0), "Sub/b.JPG": (0, 255, 0), "Sub/c.png": (0, 0, 255), "d.jpeg": (255, 255, 0),
               "e.WebP": (255, 0, 255), "x.jpg/f.PNG": (0, 255, 255), "g.gif": (128, 0, 128)}
    for name, (r, g, b) in colours.items():
        path = os.path.join(folder, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        kind = {"bmp": "BMP3", "jpg": "JPEG", "jpeg": "JPEG", "png": "PNG", "webp": "WEBP", "gif": "GIF"}
        subprocess.run(["/usr/bin/convert", "-size", "8x8", f"xc:rgb({r},{g},{b})", "-type", "TrueColor",
                        kind[name.rsplit(".", 1)[1].lower()] + ":" + path], check=True)
    touch(os.path.join(folder, "notes.txt"), os.path.join(folder, "png"))
    options = "[Options]\r\nTypes=.JPG .JPEG .PNG .WEBP\r\n"
    session.write_app_file("Config.ini", "[VLMR]\r\nStyle=Stretch\r\n" + options)
    save = Save(session)
    save.choose(folder)
    images = walk_order(folder, types=(".JPG", ".JPEG", ".PNG", ".WEBP"))
    check(len(images) == 6 and not any(p.endswith(("x.jpg", "g.gif")) for p in images), f"the walk is {images}")
    successful_save(save, folder, images, options)

    for name, colour in colours.items():
        session.write_app_file("IPaths.dat", os.path.join(folder, name) + "\r\n")
        boot = session.start()
        check(finished(boot) == 0, f"the boot run exited {boot.returncode}: {boot.stderr.read()!r}")
        wait_for(lambda: not session.windows("", boot.pid), what="the banner to go")
        shot = session.screenshot()
        shown = shot.pixel(shot.width // 2, shot.height // 2)
        check(all(abs(a - b) <= 8 for a, b in zip(shown, colour)), f"{name} shows as {shown}, not {colour}")


def progress(session, screenshot=None):
    """A long scan: the progress window over the minimized configurator, then gone. No
    bitmap in that tree; a second save of another tree shows the same window again."""
    # In memory where there is room: a disk here takes seconds to create that many files.
    memory = tempfile.mkdtemp(prefix="vlmr-e2e-", dir="/dev/shm") if os.path.isdir("/dev/shm") else session.root
    big = os.path.join(memory, "big tree")
    for n in range(60000):
        if n % 100 == 0:
            current = os.path.join(big, f"d{n // 3000}", f"sub {n // 100 % 30}")
            os.makedirs(current)
        os.close(os.open(os.path.join(current, f"p{n:05d}" + (".jpg", ".txt", ".bmpx")[n % 3]), os.O_CREAT, 0o644))
    record = fake_browser(session)
    watch = WindowWatch(session.env["DISPLAY"])
    try:
        save = Save(session)
        pid = save.process.pid
        save.choose(big)
        watch.freeze(pid, WAIT_SIZE)
        save.click("PSave")
        wait = wait_for(lambda: watch.frozen, 20, "the progress window")

        # Stopped in the scan: step it until it has asked to be minimized
        # and the label is painted.
        def ready():
            shot = session.screenshot(wait)
            if ("iconify", save.window) in watch.log and \
                    (0, 0, 192) in (shot.pixel(x, y) for x in range(shot.width) for y in range(shot.height)):
                return shot
            os.kill(pid, signal.SIGCONT)
            time.sleep(0.002)
            os.kill(pid, signal.SIGSTOP)
            return None

        wait_for(ready, 10, "the minimized configurator and the blue label")
        check(("unmap", wait) not in watch.log, "the scan ended before the label was painted")
        x, y, w, h = session.geometry(wait)
        check((w, h) == WAIT_SIZE and abs(x - (640 - w) / 2) <= 1 and abs(y - (480 - h) / 2) <= 1,
              f"the progress window is {w} x {h} at {x},{y}")
        check(session.run("xdotool", "getwindowname", str(save.window)).strip() == PLEASE_WAIT,
              "the configurator's title during the scan")
        wait_for(lambda: "IsUnMapped" in session.run("xwininfo", "-id", str(save.window)), 5,
                 "the configurator to be minimized")
        if screenshot:
            session.screenshot().save_png(screenshot)
        # A click on the label, handled when the scan next delivers messages:
        # the home page opens and the scan goes on.
        session.run("xdotool", "mousemove", str(x + 40), str(y + 14), "click", "1")
        os.kill(pid, signal.SIGCONT)
        started = opened(record)
        check(started == f"[{HOME_PAGE}]", f"the label started the browser with {started}")

        save.answer("Velmora", "No Images Found!!", 60)
        check(len(image_list(session)) == 0, "IPaths.dat is not empty")
        check("Path=" not in ini(session), "Path was written")
        check(os.path.exists(app_file(session, "Installed")), "no installed marker")
        wait_for(lambda: save.title() == TITLE, 5, "the title back")
        save.open()
        check(wait not in session.windows("VLMR", pid), "the progress window stays")
        check(watch.log.count(("map", wait)) == 1 and ("unmap", wait) in watch.log, "the progress window's course")

        # Another folder, in the same run: the same progress window again.
        small = session.path("small")
        touch(os.path.join(small, "only.bmp"))
        save.click("IPath")
        session.run("xdotool", "key", "ctrl+a", "BackSpace")
        save.choose(small, style=None)
        successful_save(save, small, [os.path.join(small, "only.bmp")])
        check(watch.log.count(("map", wait)) == 2, "the second save did not show the same progress window")
    finally:
        watch.close()
        if memory != session.root:
            shutil.rmtree(memory)


def refused(session):
    save = Save(session)
    save.click("OStretch", dx=6)
    save.click("PSave")
    save.answer("Velmora", "NO PATH SET!!!")
    save.open()

    missing = session.path("no such", "folder")
    save.choose(missing, style=None)
    save.click("PSave")
    save.answer("Error", "Path is not valid\r\nMust specify a directory not a drive")
    save.open()
    check(sorted(os.listdir(session.app_folder)) == ["Config.ini"], "a refused save wrote into the application folder")
    check(ini(session) == "[VLMR]\r\nStyle=Stretch\r\n", f"Config.ini is {ini(session)!r}")
    check(not os.path.exists(session.path("no such")), "the missing folder was created")
    save.close()


def unreadable(session):
    """Run by an unprivileged user, who cannot list one sub-folder."""
    folder = session.path("pics")
    touch(*[os.path.join(folder, n) for n in ["a.bmp", "open/b.bmp", "locked/c.bmp", "locked/deep/d.bmp",
                                               "later/e.bmp"]])
    command = session.as_nobody("pics")
    os.chmod(os.path.join(folder, "locked"), 0)
    save = Save(session, command + ["Config"])
    save.choose(folder)
    successful_save(save, folder, walk_order(folder, skip=("locked",)))


def loop(session):
    folder = session.path("looped")
    touch(*[os.path.join(folder, n) for n in ["a.bmp", "sub/b.bmp", "sub/in/c.bmp"]])
    os.symlink("../..", os.path.join(folder, "sub", "in", "up"))  # back to the start folder
    os.symlink(".", os.path.join(folder, "sub", "self"))
    save = Save(session)
    save.choose(folder)
    save.click("PSave")
    save.answer("VLMR", "3 Images Found")
    save.answer("VLMR", RESTART)
    check(finished(save.process) == 0, "the save did not end the program with 0")
    listed = image_list(session).decode().split("\r\n")
    check(listed[-1] == "" and len(listed) == 4, f"IPaths.dat is {listed!r}")
    real = sorted(os.path.realpath(p) for p in listed[:-1])
    check(real == sorted(os.path.join(folder, n) for n in ["a.bmp", "sub/b.bmp", "sub/in/c.bmp"]),
          f"the list names {real}")


def kept(session):
    """A folder without bitmaps keeps the list that works; a folder the user cannot
    write to is reported, and nothing is written."""
    working = b"/old/a.bmp\r\n/old/b.bmp\r\n"
    session.write_app_file("IPaths.dat", working)
    jpegs = session.path("jpegs")
    touch(os.path.join(jpegs, "photo.jpg"))
    save = Save(session)
    save.choose(jpegs)
    save.click("PSave")
    save.answer("Velmora", "No Images Found!!")
    save.open()
    check(image_list(session) == working, f"IPaths.dat is {image_list(session)!r}")

    # As an ordinary user, whom a folder of mode 555 refuses (root writes anyway).
    locked = session.path("locked")
    touch(os.path.join(locked, "a.bmp"))
    os.chmod(locked, 0o555)
    save.close()
    command = session.as_nobody()
    before = {n: open(app_file(session, n), "rb").read() for n in os.listdir(session.app_folder)}
    user = Save(session, command + ["Config"])
    user.choose(locked)
    user.click("PSave")
    user.answer("Error", f"Could not write {locked}/VLMR-Test.VLMR\r\nPermission denied")
    user.open()
    check(session.log()[-1] == (user.process.pid, "error",
                                f"save: could not write {locked}/VLMR-Test.VLMR: Permission denied"),
          f"the log ends {session.log()[-1:]!r}")
    after = {n: open(app_file(session, n), "rb").read() for n in os.listdir(session.app_folder)}
    after.pop("Config.ini"), before.pop("Config.ini", None)  # the style click stores Style
    check(after == before, "a refused save wrote into the application folder")
    check(os.listdir(locked) == ["a.bmp"], "something was left in the locked folder")
    user.close()


def fake_browser(session):
    """A browser that records its arguments, made the default for https links with xdg-mime,
    in XDG folders of the session alone. Returns the record's path."""
    session.env.update(XDG_DATA_HOME=session.path("data"), XDG_DATA_DIRS=session.path("share"),
                       XDG_CONFIG_DIRS=session.path("etc"))
    record = session.path("opened")
    program = session.path("bin", "fake browser")
    os.makedirs(os.path.dirname(program))
    with open(program, "w") as f:
        f.write(f"#!/bin/sh\nprintf '[%s]' \"$@\" > '{record}.tmp'\nmv '{record}.tmp' '{record}'\n")
    os.chmod(program, 0o755)
    os.makedirs(session.path("data", "applications"))
    with open(session.path("data", "applications", "fake-browser.desktop"), "w") as f:
        f.write(f'[Desktop Entry]\nType=Application\nName=Fake Browser\nExec="{program}" %u\n')
    session.run("xdg-mime", "default", "fake-browser.desktop", "x-scheme-handler/https")
    check(os.path.exists(session.path("config", "mimeapps.list")), "xdg-mime wrote no mimeapps.list")
    return record


def opened(record):
    return wait_for(lambda: os.path.exists(record) and open(record).read(), 10, "the browser to start")


def browser(session):
    """A click on the credit starts the default browser, and says so when there is none."""
    record = fake_browser(session)
    save = Save(session)
    save.click("Label1")
    started = opened(record)
    check(started == f"[{HOME_PAGE}]", f"the browser was started with {started}")
    save.open()
    check(not session.windows("Browser Not Found", save.process.pid), "a browser was found and still a box came")

    os.remove(record)
    os.remove(session.path("config", "mimeapps.list"))
    save.click("Label1")
    save.answer("Browser Not Found", "Could not find a Browser!!!")
    save.open()
    time.sleep(0.2)
    check(not os.path.exists(record), "a browser was started without a default")
    save.close()


if __name__ == "__main__":
    scenario = sys.argv[1]
    with Session("640x480x24") as s:
        if scenario == "progress":
            progress(s, sys.argv[2] if len(sys.argv) > 2 else None)
        else:
            {"twelve": twelve, "types": types, "refused": refused, "unreadable": unreadable, "loop": loop, "kept": kept,
             "browser": browser}[scenario](s)
    print("passed")
