#!/usr/bin/env python3
"""Where a boot run (Stretch, a 1920x1080 BMP, X11 root on Xvfb 1920x1080x24)
spends its time: the instructions of its main functions under callgrind,
which the machine's load does not change, and the wall-clock landmarks of
`strace -ttt -f` runs, lined up with the banner's map from map_watch --log.
Run by bench/profile-boot.sh (see bench/README.md).

environment: VLMR, MAP_WATCH, RUNS (strace runs, default 7)
"""
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

from process_bench import RUNS, drawn, picture, print_table, session_of

# Inclusive instruction counts of these, as callgrind_annotate names them:
# those of the toolkit's course and of the lean one, so a profile of either
# build reads the same (the other's rows show 0).
FUNCTIONS = [
    ("whole process", None),
    ("ld.so start-up linking", r"rtld\.c:_dl_start "),
    ("main", r"\?\?\?:main "),
    ("  QApplication constructor", r"QApplication::QApplication\("),
    ("  application icon (QIcon::addFile)", r"QIcon::addFile\("),
    ("    of it: image plug-ins loaded", r"QFactoryLoader::instance\("),
    ("  frmMain::Load", r"frmMain::Load\(\)"),
    ("    banner shown", r"BannerWindow::Show\(\)"),
    ("    image list read + parsed", r"LoadListFromFile\("),
    ("    wallpaper applied (X11RootDesktop::Apply)", r"X11RootDesktop::Apply\("),
    ("      picture file read", r"ReadRegularFile\("),
    ("      BMP decode (QImageReader::read)", r"QImageReader::read\(QImage\*\)"),
    ("      root image fill", r"QImage::fill\(unsigned int\)"),
    ("      drawImage", r"QPainter::drawImage\("),
    ("      smooth scaling (on the calling thread)", r"QImage::smoothScaled\("),
    ("      convert to XImage (ToXImage)", r"ToXImage\("),
    ("      XPutImage", r"\?\?\?:XPutImage "),
    ("    lean banner shown (XBanner::Show)", r"XBanner::Show\(\)"),
    ("    picture mapped (MappedFile::Map)", r"MappedFile::Map\("),
    ("    root pixmap drawn (RootCanvas::Draw)", r"RootCanvas::Draw\("),
    ("      BMP decode (DecodeBmp)", r"DecodeBmp\("),
    ("other threads (Qt's pool scales large pictures)", r"pthread_create\.c:start_thread "),
]

# Wall-clock landmarks in a strace log: what happened, and the test of the
# line where it happened (the first such line; None: set apart).
LANDMARKS = [
    ("shared libraries mapped (ld.so done)",
     lambda call: call.startswith("openat(") and ".so" not in call and "ENOENT" not in call),
    ("X connection opened", lambda call: call.startswith("connect(") and "X11-unix" in call),
    ("frmMain::Load (the instance lock)", lambda call: "velmora.lock" in call),
    ("banner mapped (MapNotify)", None),
    ("IPaths.dat opened", lambda call: call.startswith("openat(") and "/IPaths.dat" in call),
    ("picture opened", lambda call: call.startswith("openat(") and '.bmp"' in call),
    ("last writev to the X server (picture, root set)", None),
    ("exit_group", None),
]


def instructions(session, program):
    with tempfile.TemporaryDirectory(prefix="vlmr-callgrind-") as folder:
        out = os.path.join(folder, "callgrind.%p")
        run = subprocess.Popen(["valgrind", "--tool=callgrind", f"--callgrind-out-file={out}", program],
                               env=session.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        run.wait()
        # valgrind runs the program in its own process: the profile of that pid is the program's.
        text = subprocess.run(["callgrind_annotate", "--inclusive=yes", "--threshold=100",
                               os.path.join(folder, f"callgrind.{run.pid}")],
                              capture_output=True, text=True, check=True).stdout
    total = int(re.search(r"([\d,]+) \(100\.0%\)\s+PROGRAM TOTALS", text).group(1).replace(",", ""))
    rows = []
    for name, pattern in FUNCTIONS:
        if pattern is None:
            count = total
        else:
            found = re.search(r"^\s*([\d,]+) \(\s*[\d.]+%\)\s+.*" + pattern, text, re.M)
            count = int(found.group(1).replace(",", "")) if found else 0
        rows.append([name, f"{count / 1e6:.2f}", f"{100 * count / total:.1f}%"])
    return rows


def landmarks(strace_log, banner_map):
    """Milliseconds from the exec to each landmark of one strace -ttt -f log."""
    lines = [line.split(None, 2) for line in open(strace_log) if line.strip()]
    program, start = lines[0][0], float(lines[0][1])
    found = {"banner mapped (MapNotify)": banner_map}
    for pid, stamp, call in lines:
        if pid == program and call.startswith("exit_group("):
            found["exit_group"] = float(stamp)
        for name, test in LANDMARKS:
            if test and name not in found and test(call):
                found[name] = float(stamp)
        if "picture opened" in found and call.startswith("writev("):
            found["last writev to the X server (picture, root set)"] = float(stamp)
    return [(found.get(name, float("nan")) - start) * 1000 for name, _ in LANDMARKS]


def wall_clock(session, program, runs):
    with tempfile.TemporaryDirectory(prefix="vlmr-strace-") as folder:
        table = []
        for i in range(runs):
            log = os.path.join(folder, f"strace-{i}")
            watch = subprocess.Popen([os.environ["MAP_WATCH"], "--log"], env=session.env, stdout=subprocess.PIPE,
                                     text=True)
            watch.stdout.readline()  # "ready": the watch is in place
            subprocess.run(["strace", "-ttt", "-f", "-o", log, program], env=session.env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
            time.sleep(0.1)
            watch.terminate()
            maps = [line.split() for line in watch.stdout.read().splitlines()]
            watch.wait()
            banner = [float(m[0]) for m in maps if m[2] == "245x50"]
            table.append(landmarks(log, banner[0] if banner else float("nan")))
    rows = [[name, *[run[k] for run in table], statistics.median(run[k] for run in table)]
            for k, (name, _) in enumerate(LANDMARKS)]
    return sorted(rows, key=lambda row: (row[-1] != row[-1], row[-1]))  # a landmark not found (NaN) last


def main():
    program = os.environ["VLMR"]
    print(f"Profile of a boot run: Stretch, 1920x1080 BMP, X11 root on Xvfb 1920x1080x24\nprogram {program}")
    with session_of("1920x1080x24") as session:
        session.write_app_file("Installed", "07/12/2026\r\n")
        session.write_app_file("Config.ini", "[VLMR]\r\nStyle=Stretch\r\n")
        session.write_app_file("IPaths.dat", picture(session, "plasma-1920x1080.bmp", 1920, 1080) + "\r\n")
        check = subprocess.run([program], env=session.env, capture_output=True, text=True)
        drawn(check.stderr)
        print("\nInstructions (callgrind, inclusive; millions):")
        print_table(["function", "M instr.", "share"], instructions(session, program))
        print(f"\nWall clock under strace -ttt -f: ms from the exec ({RUNS} runs, the median last; "
              f"strace slows every system call):")
        print_table(["landmark", *[f"run {i + 1}" for i in range(RUNS)], "median"], wall_clock(session, program, RUNS))


if __name__ == "__main__":
    sys.exit(main())
