#!/usr/bin/env python3
"""Whole-process timings of the real VLMR under a private Xvfb, in the
end-to-end tests' private HOME and XDG folders. bench/boot-wallpaper.sh,
bench/boot-million.sh and bench/save-tree.sh build the program and run one
of these (see bench/README.md).

usage: process_bench.py wallpaper | million | save
environment: VLMR (the program), MAP_WATCH (bench/map_watch), RUNS (default 7)
"""
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "linux"))
from vlmr_session import CONVERT, Session, check, finished  # noqa: E402

RUNS = int(os.environ.get("RUNS", "7"))
WARM_UPS = 1
NOT_A_DESKTOP = ("XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE")


# --- timing ---

class Measured:
    """The figures of one thing timed, one per timed run: milliseconds from start to end and,
    where a whole process is timed, CPU milliseconds (user + system; on a busy machine the
    less disturbed figure); and its peak RSS in MiB, from a run of its own."""

    def __init__(self, name):
        self.name, self.times, self.cpus, self.peak = name, [], [], ""

    def add(self, ms, usage=None):
        self.times.append(ms)
        if usage:
            self.cpus.append((usage.ru_utime + usage.ru_stime) * 1000)

    def median(self):
        return statistics.median(self.times)

    def cpu(self):
        return statistics.median(self.cpus) if self.cpus else ""

    def row(self, *extra):
        return [self.name, self.median(), min(self.times), max(self.times), *extra]


def rounds(cases):
    """Runs every case once a round, a warm-up round and then RUNS timed ones, so that a
    change of the machine's load weighs on all cases alike. A case is (Measured, run), run()
    giving (milliseconds, resource usage or None); a process's peak memory is then measured
    in one more run."""
    for i in range(WARM_UPS + RUNS):
        for measured, run in cases:
            ms, usage = run()
            if i >= WARM_UPS:
                measured.add(ms, usage)
    for measured, run in cases:
        if hasattr(run, "peak"):
            measured.peak = run.peak()


def process(argv, env, check_run=None, prepare=None):
    """A run of the command, timed from its spawn to its exit: it must exit 0 and pass
    check_run(what it wrote to stderr); prepare() is called before, untimed."""
    program = argv[0] if os.sep in argv[0] else shutil.which(argv[0])
    err = tempfile.NamedTemporaryFile(prefix="vlmr-bench-")  # kept open as long as the run is
    actions = [(os.POSIX_SPAWN_OPEN, 1, os.devnull, os.O_WRONLY, 0),
               (os.POSIX_SPAWN_OPEN, 2, err.name, os.O_WRONLY | os.O_TRUNC, 0)]

    def run():
        if prepare:
            prepare()
        started = time.monotonic_ns()
        pid = os.posix_spawn(program, argv, env, file_actions=actions)
        _, status, usage = os.wait4(pid, 0)
        ended = time.monotonic_ns()
        with open(err.name, encoding="utf-8", errors="replace") as f:
            text = f.read()
        code = os.waitstatus_to_exitcode(status)
        check(code == 0, f"{' '.join(argv)} exited {code}: {text[-500:]}")
        if check_run:
            check_run(text)
        return (ended - started) / 1e6, usage

    def peak():
        """Peak RSS in MiB as GNU time gives it. (wait4's figure for the timed runs would count
        this script's own peak: Linux carries a process's high-water mark over its exec.)"""
        if prepare:
            prepare()
        with tempfile.NamedTemporaryFile(prefix="vlmr-bench-", mode="r") as out:
            subprocess.run(["/usr/bin/time", "-f", "%M", "-o", out.name, *argv], env=env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, check=True)
            return int(out.read().split()[-1]) / 1024

    run.keep, run.peak = err, peak
    return run


def print_table(header, rows):
    texts = [[f"{v:.1f}" if isinstance(v, float) else str(v) for v in r] for r in rows]
    first = max(len(str(header[0])), *(len(r[0]) for r in texts))
    for r in [list(map(str, header))] + texts:
        print("  ".join(f"{v:>9}" if i else f"{v:<{first}}" for i, v in enumerate(r)))


def preamble(what):
    load = ", ".join(f"{x:.2f}" for x in os.getloadavg())
    print(f"{what}\nprogram {os.environ['VLMR']}; medians of {RUNS} runs after {WARM_UPS} warm-up, "
          f"the cases taking turns; load average {load} on {os.cpu_count()} cores")


def session_of(screen):
    """Xvfb and private folders, with no desktop named: the boot run sets the X root window's pixmap."""
    session = Session(screen)
    for name in NOT_A_DESKTOP:
        session.env.pop(name, None)
    return session


# --- the boot run ---

def picture(session, name, width, height):
    """A 24-bit BMP of a plasma fractal: neighbouring pixels differ, as in a photo."""
    path = session.path(name)
    subprocess.run([CONVERT, "-seed", "7", "-size", f"{width}x{height}", "plasma:fractal", "-type", "TrueColor",
                    "BMP3:" + path], check=True)
    with open(path, "rb") as f:
        header = f.read(30)
    check(int.from_bytes(header[28:30], "little") == 24, f"{path} is not a 24-bit BMP")
    return path


def drawn(text):
    check(" error " not in text, f"the boot run logged an error: {text[-500:]}")
    check("wallpaper service: apply: done" in text, f"the boot run did not apply the wallpaper: {text[-500:]}")


def nothing_drawn(text):
    check("no such file" in text, f"the missing file was not reported: {text[-500:]}")


def boot_run(session, style, entry, check_run):
    """A boot run of one entry in one style."""
    def prepare():
        session.write_app_file("Config.ini", f"[VLMR]\r\nStyle={style}\r\n")
        session.write_app_file("IPaths.dat", entry + "\r\n")
    return process([os.environ["VLMR"]], session.env, check_run, prepare)


def wallpaper():
    preamble("Boot run, whole process, X11 root pixmap on Xvfb 1920x1080x24")
    with session_of("1920x1080x24") as session:
        session.write_app_file("Installed", "07/12/2026\r\n")
        full_hd = picture(session, "plasma-1920x1080.bmp", 1920, 1080)
        uhd = picture(session, "plasma-3840x2160.bmp", 3840, 2160)
        stretch = Measured("Stretch 1920x1080")
        cases = [(stretch, boot_run(session, "Stretch", full_hd, drawn)),
                 (Measured("Center 1920x1080"), boot_run(session, "Center", full_hd, drawn)),
                 (Measured("Tile 1920x1080"), boot_run(session, "Tile", full_hd, drawn)),
                 (Measured("Stretch 3840x2160 to 1080p"), boot_run(session, "Stretch", uhd, drawn)),
                 (Measured("missing file (Stretch)"),
                  boot_run(session, "Stretch", session.path("no-such-picture.bmp"), nothing_drawn))]
        rounds(cases)
    print_table(["case", "median ms", "min ms", "max ms", "CPU ms", "peak RSS MiB"],
                [m.row(m.cpu(), m.peak) for m, _ in cases])
    print(f"goal: Stretch 1920x1080 <= 60 ms; now {stretch.median():.1f} ms ({stretch.median() / 60:.1f} x the goal)")


def million():
    preamble("Boot run with a 1,000,000-line IPaths.dat vs shuf -n 1 on the same file")
    with session_of("1920x1080x24") as session:
        session.write_app_file("Installed", "07/12/2026\r\n")
        full_hd = picture(session, "plasma-1920x1080.bmp", 1920, 1080)
        session.write_app_file("Config.ini", "[VLMR]\r\nStyle=Stretch\r\n")
        listing = os.path.join(session.app_folder, "IPaths.dat")
        with open(listing, "wb") as f:
            f.write((full_hd + "\r\n").encode() * 1_000_000)
        size = os.path.getsize(listing)
        # The one-line list in a configuration folder of its own, so no list is rewritten between runs.
        one_line = dict(session.env, XDG_CONFIG_HOME=session.path("config-1"))
        os.makedirs(session.path("config-1"))
        shutil.copytree(session.app_folder, session.path("config-1", "velmora"),
                        ignore=shutil.ignore_patterns("IPaths.dat"))
        with open(session.path("config-1", "velmora", "IPaths.dat"), "wb") as f:
            f.write((full_hd + "\r\n").encode())

        vlmr, shuf, single = (Measured("VLMR boot run, 1M lines"), Measured("shuf -n 1 IPaths.dat"),
                              Measured("VLMR boot run, 1 line"))
        rounds([(vlmr, process([os.environ["VLMR"]], session.env, drawn)),
                (shuf, process(["shuf", "-n", "1", listing], session.env)),
                (single, process([os.environ["VLMR"]], one_line, drawn))])
    print(f"IPaths.dat: 1,000,000 lines, {size} bytes ({size / 2**20:.1f} MiB)")
    print_table(["run", "median ms", "min ms", "max ms", "CPU ms", "peak RSS MiB"],
                [m.row(m.cpu(), m.peak) for m in (vlmr, shuf, single)])
    print(f"boot run / shuf: {vlmr.median() / shuf.median():.2f} x (goal <= 2 x); "
          f"in CPU time {vlmr.cpu() / shuf.cpu():.2f} x")
    print(f"VLMR peak RSS (1M lines) / file size: {vlmr.peak * 2**20 / size:.2f} x (goal <= 3 x)")


# --- the save ---

def save_run(session, tree, bitmaps, scans):
    """One save in a fresh `VLMR Config`: the path typed, then map_watch clicks the disk and
    times the click to the map of the count box. The boxes are read and answered, the list
    checked, and the scan's own length (as the program logs it, to 10 ms) kept in `scans`."""
    from test_save import RESTART, Save, image_list

    def run():
        configurator = Save(session)
        configurator.choose(tree, style=None)
        x, y = configurator.point("PSave")
        session.run("xdotool", "mousemove", str(x), str(y))
        # The progress window (211 x 39) is titled VLMR too.
        out = subprocess.run([os.environ["MAP_WATCH"], "VLMR", "211x39"], env=session.env, capture_output=True,
                             text=True, timeout=600)
        check(out.returncode == 0, f"map_watch: {out.stderr}")
        configurator.answer("VLMR", f"{bitmaps} Images Found", timeout=120)
        configurator.answer("VLMR", RESTART)
        check(finished(configurator.process) == 0, "the save did not end the program with 0")
        check(image_list(session).count(b"\r\n") == bitmaps, "IPaths.dat does not list every bitmap")
        with open(session.log_file, encoding="utf-8") as log:
            scans.append(float(re.findall(r"save: \d+ images found in ([\d.]+) s", log.read())[-1]) * 1000)
        return float(out.stdout.split()[0]), None

    return run


def save():
    preamble("Configurator save: the click on the disk to the count box's MapNotify, vs find -iname '*.bmp'")
    work = tempfile.mkdtemp(prefix="vlmr-bench-tree-")
    sizes = (100_000, 200_000)
    clicks, finds, scans = {}, {}, {}
    try:
        with session_of("640x480x24") as session:
            session.write_app_file("Config.ini", "[VLMR]\r\nStyle=Stretch\r\n")
            cases = []
            for files in sizes:
                tree = os.path.join(work, f"tree-{files}")
                subprocess.run([sys.executable, os.path.join(HERE, "make_tree.py"), tree, str(files)], check=True)
                clicks[files], finds[files], scans[files] = (Measured(f"{files} files: click to box"),
                                                             Measured(f"{files} files: find"), [])
                cases += [(finds[files], process(["find", tree, "-iname", "*.bmp"], session.env)),
                          (clicks[files], save_run(session, tree, files // 10, scans[files]))]
            rounds(cases)
    finally:
        shutil.rmtree(work, ignore_errors=True)

    rows = []
    for files in sizes:
        scan = scans[files][WARM_UPS:]
        rows += [clicks[files].row("", files // 10),
                 [f"{files} files: scan (log)", statistics.median(scan), min(scan), max(scan), "", files // 10],
                 finds[files].row(finds[files].cpu(), files // 10)]
    print_table(["run", "median ms", "min ms", "max ms", "CPU ms", "bitmaps"], rows)
    for files in sizes:
        print(f"{files} files: click to box / find = {clicks[files].median() / finds[files].median():.2f} x "
              f"(goal <= 1.5 x)")
    growth = clicks[sizes[1]].median() / clicks[sizes[0]].median()
    print(f"click to box, {sizes[1]} files / {sizes[0]} files = {growth:.2f} (goal <= 2.2)")


if __name__ == "__main__":
    {"wallpaper": wallpaper, "million": million, "save": save}[sys.argv[1]]()
