"""VLMR without the toolkit: the quiet boot run of a plain X11 session runs on
Xlib alone, and every course that needs Qt loads the toolkit module.

usage: test_lean.py linked | alone
"""
import os
import re
import subprocess
import sys

from vlmr_session import TOOLKIT, VLMR, Session, check, finished, log_events

MISSING_MODULE = re.compile(r"the toolkit module \S*/libvelmora-toolkit\.so cannot be loaded \(.*No such file or "
                            r"directory\), and this start needs it; reinstall Velmora")


def linked(session):
    program = subprocess.run(["ldd", VLMR], capture_output=True, text=True, check=True).stdout
    check("libQt" not in program, f"VLMR links Qt:\n{program}")
    module = subprocess.run(["ldd", TOOLKIT], capture_output=True, text=True, check=True).stdout
    check("libQt6Widgets" in module, f"the toolkit module links no Qt Widgets:\n{module}")


def run_alone(program, session, *args):
    """(exit code, the (level, message) pairs on stderr) of the copy without its module."""
    vlmr = subprocess.run([program, *args], env=session.env, capture_output=True, text=True, timeout=30)
    return vlmr.returncode, [(level, message) for _, level, message in log_events(vlmr.stderr)]


def alone(session):
    # A copy with no module beside it, and none where an installed one would be.
    program = session.copy_program("bin", toolkit=False)
    session.write_app_file("Config.ini", "[VLMR]\r\nStyle=Stretch\r\n")
    session.write_app_file("Installed", "07/12/2026\r\n")
    missing = session.path("no-such-picture.bmp")
    session.write_app_file("IPaths.dat", missing + "\r\n")

    # The quiet boot run: banner, draw, a picture that is not there. Had it
    # loaded the module, it would have failed for the want of it.
    code, said = run_alone(program, session)
    check(code == 0, f"the quiet boot run without the module exited {code}: {said!r}")
    check(("error", f"the wallpaper stays as it was; {missing}: no such file") in said, f"it said {said!r}")
    check(not any("toolkit" in message for _, message in said), f"it reached for the toolkit: {said!r}")

    # A box, the configurator: each needs the module, and says so when it is not there.
    os.remove(os.path.join(session.app_folder, "Installed"))
    for args, course in [((), "'Please Configure'"), (("Config",), "the configurator")]:
        code, said = run_alone(program, session, *args)
        check(code == 1, f"{course} without the module exited {code}")
        errors = [message for level, message in said if level == "error"]
        check(len(errors) == 1 and MISSING_MODULE.fullmatch(errors[0]),
              f"{course} without the module said {said!r}")


if __name__ == "__main__":
    with Session() as s:
        {"linked": linked, "alone": alone}[sys.argv[1]](s)
    print("passed")
