"""The systemd user units of the half-hourly schedule: systemd accepts them,
and the service's own command line sets the wallpaper with nothing but what a
timer's service gets (the session's display and XDG variables, no terminal).

usage: test_schedule.py verify|timer_environment
"""
import os
import shlex
import shutil
import subprocess
import sys

from vlmr_session import VLMR, Session, check, finished, red, wait_for

PACKAGING = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "packaging")
UNITS = ("velmora.service", "velmora.timer")


def unit_values(name, section, key):
    """Every value of the key in the section of a shipped unit file."""
    values, current = [], None
    with open(os.path.join(PACKAGING, name), encoding="utf-8") as unit:
        for line in map(str.strip, unit):
            if line.startswith("["):
                current = line
            elif current == f"[{section}]" and "=" in line and not line.startswith(("#", ";")):
                found, value = line.split("=", 1)
                if found.strip() == key:
                    values.append(value.strip())
    return values


def service_command():
    """The service's command line, its program found beside the built VLMR, as
    systemd finds a bare name in /usr/local/bin or /usr/bin once installed."""
    commands = unit_values("velmora.service", "Service", "ExecStart")
    check(len(commands) == 1, f"velmora.service has the commands {commands}")
    argv = shlex.split(commands[0])
    check("/" not in argv[0], f"ExecStart names a path, {argv[0]!r}: the units serve /usr and /usr/local alike")
    program = os.path.join(os.path.dirname(VLMR), argv[0])
    check(os.path.isfile(program) and os.path.samefile(program, VLMR), f"ExecStart runs {argv[0]!r}, not VLMR")
    return [program, *argv[1:]]


def verify(session):
    units = session.path("units")
    os.makedirs(os.path.join(units, "velmora.service.d"))
    for name in UNITS:
        shutil.copy(os.path.join(PACKAGING, name), units)
    # verify looks for the program only in the system's own bin folders, where
    # this build is not: a drop-in gives it the built one.
    with open(os.path.join(units, "velmora.service.d", "build.conf"), "w", encoding="utf-8") as conf:
        conf.write("[Service]\nExecStart=\nExecStart=" + shlex.join(service_command()) + "\n")
    # A key or value it cannot parse is only a warning (exit 0): any output fails.
    result = subprocess.run(["systemd-analyze", "--user", "verify", *(os.path.join(units, n) for n in UNITS)],
                            env=session.env, capture_output=True, text=True)
    said = (result.stdout + result.stderr).strip()
    check(result.returncode == 0 and not said, f"systemd-analyze verify exited {result.returncode}: {said}")
    # verify passes over a misspelt target: the timer would never start, nor stop with the session.
    named = unit_values("velmora.timer", "Install", "WantedBy") + [
        value for key in ("PartOf", "After") for value in unit_values("velmora.service", "Unit", key)]
    unknown = [n for value in named for n in value.split() if not os.path.exists("/usr/lib/systemd/user/" + n)]
    check(named and not unknown, f"systemd has no user units {unknown}")


def timer_environment(session):
    image = session.make_image("red.bmp", "-size", "64x64", "xc:red", "-type", "TrueColor")
    session.write_app_file("Installed", "07/12/2026\r\n")
    session.write_app_file("IPaths.dat", image + "\r\n")
    session.write_app_file("Config.ini", "[VLMR]\r\nStyle=Stretch\r\n")
    # What the user's service manager hands the service once the desktop has
    # imported its display: no terminal, no session of its own, no desktop name.
    env = {name: session.env[name] for name in ("DISPLAY", "HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME",
                                                "XDG_RUNTIME_DIR")}
    env["PATH"] = "/usr/local/bin:/usr/bin:/bin"
    with open(session.path("journal"), "w+b") as journal:
        run = subprocess.Popen(service_command(), env=env, stdin=subprocess.DEVNULL, stdout=journal,
                               stderr=subprocess.STDOUT, start_new_session=True)
        session.processes.append(run)
        code = finished(run)
        journal.seek(0)
        check(code == 0, f"the service's run exited {code}: {journal.read().decode(errors='replace')}")
    wait_for(lambda: not session.windows("", run.pid), what="the banner to go")
    shot = session.screenshot()
    for point in [(0, 0), (shot.width - 1, shot.height - 1), (shot.width // 2, shot.height // 2)]:
        check(red(shot.pixel(*point)), f"{point} is {shot.pixel(*point)}, not red")


if __name__ == "__main__":
    with Session() as s:
        {"verify": verify, "timer_environment": timer_environment}[sys.argv[1]](s)
    print("passed")
