#!/usr/bin/env python3
"""The .deb on this machine, as root: apt-get installs it with its declared
dependencies, an ordinary user runs the installed VLMR (one boot run, then
the configurator) with the data in that user's ~/.config/velmora, and
apt-get removes it again without a trace.

usage: check_deb.py SOURCE_DIR DEB
"""
import os
import pwd
import re
import shutil
import subprocess
import sys
import tempfile

from pkgtest import Failed, Suite, Xvfb, check, is_red, project_versions, red_bmp, run, run_status, wait_for

USER = "velmora-test"
CONFIGURATOR = "Velmora Configurator"
# The Qt front end, which /usr/bin/VLMR loads from ../lib/velmora.
TOOLKIT = "/usr/lib/velmora/libvelmora-toolkit.so"


def deb_field(deb, name):
    return run(["dpkg-deb", "-f", deb, name]).strip()


def installed_version():
    result = subprocess.run(["dpkg-query", "-W", "-f=${Status} ${Version}", "velmora"], capture_output=True,
                            text=True)
    if result.returncode != 0 or not result.stdout.startswith("install ok installed"):
        return None
    return result.stdout.split()[-1]


def owning_package(library_path):
    """The Debian package that ships a library, also across the /lib -> /usr/lib merge."""
    real = os.path.realpath(library_path)
    candidates = {library_path, real}
    for path in list(candidates):
        if path.startswith("/usr/"):
            candidates.add(path[len("/usr"):])
        else:
            candidates.add("/usr" + path)
    for path in candidates:
        result = subprocess.run(["dpkg-query", "-S", path], capture_output=True, text=True)
        if result.returncode == 0:
            return result.stdout.split(":")[0].strip()
    raise Failed(f"no package ships {library_path}")


def dependency_names(depends):
    names = set()
    for clause in depends.split(","):
        for alternative in clause.split("|"):
            names.add(re.match(r"\s*([a-z0-9.+-]+)", alternative).group(1))
    return names


class User:
    """The unprivileged account that runs the installed program."""

    def __init__(self):
        try:
            pwd.getpwnam(USER)
        except KeyError:
            run(["useradd", "--create-home", "--shell", "/bin/sh", USER])
        entry = pwd.getpwnam(USER)
        self.uid, self.gid, self.home = entry.pw_uid, entry.pw_gid, entry.pw_dir
        self.app_folder = os.path.join(self.home, ".config", "velmora")

    def reset(self):
        """A fresh data folder, and nothing left from an earlier run."""
        for path in (os.path.join(self.home, ".config"), os.path.join(self.home, "pictures")):
            shutil.rmtree(path, ignore_errors=True)

    def write(self, relative, data):
        path = os.path.join(self.home, relative)
        folder = os.path.dirname(path)
        os.makedirs(folder, exist_ok=True)
        with open(path, "wb") as f:
            f.write(data if isinstance(data, bytes) else data.encode())
        # Every folder from the home down belongs to the user, as if they had made it.
        while folder.startswith(self.home):
            os.chown(folder, self.uid, self.gid)
            folder = os.path.dirname(folder)
        os.chown(path, self.uid, self.gid)
        return path

    def start(self, display, *arguments):
        # A clean environment: no XDG_CURRENT_DESKTOP (so the plain X11
        # setter), no XDG_RUNTIME_DIR, nothing of root's.
        environment = [f"HOME={self.home}", f"USER={USER}", f"LOGNAME={USER}", "PATH=/usr/bin:/bin",
                       f"DISPLAY={display}", "LANG=C.UTF-8"]
        # Output goes to a file: a pipe nobody reads could stall the program.
        errors = tempfile.TemporaryFile()
        process = subprocess.Popen(["runuser", "-u", USER, "--", "env", "-i", *environment, "VLMR", *arguments],
                                   stdout=subprocess.DEVNULL, stderr=errors, cwd="/")
        process.errors = errors
        return process


def errors_of(process):
    process.errors.seek(0)
    return process.errors.read().decode(errors="replace")


def finished(process, timeout):
    try:
        code = process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
        raise Failed(f"VLMR did not end within {timeout} s")
    return code, errors_of(process)


def main():
    source_dir, deb = sys.argv[1], os.path.abspath(sys.argv[2])
    suite = Suite("deb")
    shown, _ = project_versions(source_dir)
    shipped = []
    state = {}

    if os.geteuid() != 0:
        suite.step("runs as root, to install the package", lambda: check(False, "run as root"))
        suite.exit()
    if installed_version():  # left by an interrupted run
        run(["apt-get", "remove", "-y", "velmora"])

    def control():
        check(deb_field(deb, "Package") == "velmora", f"Package {deb_field(deb, 'Package')!r}")
        check(deb_field(deb, "Version") == shown, f"Version {deb_field(deb, 'Version')!r}, the program is {shown}")
        for name in ("Maintainer", "Section", "Description", "Homepage"):
            check(deb_field(deb, name), f"no {name}")
        # Depends must name the package of every library that VLMR and its
        # toolkit module link directly.
        unpacked = tempfile.mkdtemp(prefix="velmora-deb-")
        needed, locations = [], {}
        try:
            run(["dpkg-deb", "-x", deb, unpacked])
            for binary in (os.path.join(unpacked, "usr/bin/VLMR"), os.path.join(unpacked, TOOLKIT.lstrip("/"))):
                check(os.path.isfile(binary), f"{binary} is not in the package")
                needed += re.findall(r"NEEDED\s+(\S+)", run(["objdump", "-p", binary]))
                locations.update(re.findall(r"^\s*(\S+) => (/\S+)", run(["ldd", binary]), re.M))
            shipped.extend(line.split(None, 5)[-1].lstrip(".") for line in
                           run(["dpkg-deb", "-c", deb]).splitlines() if not line.startswith("d"))
        finally:
            shutil.rmtree(unpacked, ignore_errors=True)
        check(needed, "VLMR links no library?")
        needed = sorted(set(needed))
        declared = dependency_names(deb_field(deb, "Depends"))
        missing = {lib: owning_package(locations[lib]) for lib in needed
                   if owning_package(locations[lib]) not in declared}
        check(not missing, f"Depends lacks the packages of {missing}; it is {deb_field(deb, 'Depends')!r}")
        # Qt loads the WebP decoder as a plug-in, which no library scan sees.
        check("qt6-image-formats-plugins" in declared, f"Depends lacks the WebP plug-in: {deb_field(deb, 'Depends')!r}")

    def install():
        run(["apt-get", "install", "-y", "./" + os.path.basename(deb)], cwd=os.path.dirname(deb),
            env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))
        check(installed_version() == shown, f"dpkg reports {installed_version()!r}")
        for path in ("/usr/bin/VLMR", TOOLKIT, "/usr/share/velmora/logo.gif", "/usr/share/applications/velmora.desktop"):
            check(path in shipped and os.path.isfile(path), f"{path} is not installed")
        metainfo = [p for p in shipped if p.startswith("/usr/share/metainfo/")]
        check(len(metainfo) == 1, f"metainfo files: {metainfo}")
        out = run(["desktop-file-validate", "/usr/share/applications/velmora.desktop"])
        check(out.strip() == "", out)
        run(["appstreamcli", "validate", "--no-net", metainfo[0]])

    def schedule():
        units = ["/usr/lib/systemd/user/velmora.service", "/usr/lib/systemd/user/velmora.timer"]
        for path in units:
            check(path in shipped and os.path.isfile(path), f"{path} is not installed")
        # As installed, with /usr/bin/VLMR to find. A key systemd cannot parse
        # is only a warning: any output fails.
        with tempfile.TemporaryDirectory() as runtime:
            status, out, err = run_status(["systemd-analyze", "--user", "verify", *units],
                                          env=dict(os.environ, HOME=runtime, XDG_RUNTIME_DIR=runtime))
        check(status == 0 and not (out + err).strip(), f"systemd-analyze verify exited {status}: {out}{err}")
        wants = "systemd/user/timers.target.wants/velmora.timer"
        enabled = [p for p in ("/etc/" + wants, os.path.join(User().home, ".config", wants)) if os.path.lexists(p)]
        check(not enabled, f"the package enabled the timer: {enabled}")

    def boot_run():
        user = state["user"] = User()
        user.reset()
        picture = user.write("pictures/red.bmp", red_bmp())
        user.write(".config/velmora/Installed", "07/12/2026\r\n")
        user.write(".config/velmora/IPaths.dat", picture + "\r\n")
        user.write(".config/velmora/Config.ini", "[VLMR]\r\nStyle=Stretch\r\n")
        x = state["x"]
        check(not is_red(x.pixel(160, 120)), "the screen is red before the run")
        code, errors = finished(user.start(x.display), 60)
        check(code == 0, f"the boot run exited {code}: {errors}")
        points = [(0, 0), (319, 0), (0, 239), (319, 239), (160, 120)]
        wait_for(lambda: all(is_red(x.pixel(*p)) for p in points), 10, "a red root window")

    def configurator():
        user, x = state["user"], state["x"]
        vlmr = user.start(x.display, "Config")
        try:
            window = wait_for(lambda: x.windows(CONFIGURATOR) or vlmr.poll() is not None, 60,
                              f"the window {CONFIGURATOR!r}")
            if window is True:
                raise Failed(f"VLMR Config ended ({vlmr.returncode}) without showing {CONFIGURATOR!r}: "
                             f"{errors_of(vlmr)}")
            x.close_window(window[0])
            code, errors = finished(vlmr, 30)
        finally:
            if vlmr.poll() is None:
                vlmr.kill()
                vlmr.wait()
        check(code == 0, f"VLMR Config exited {code} after its window was closed: {errors}")
        # Whatever the program wrote went into the user's own folder, as the user.
        for folder, _, names in os.walk(os.path.join(user.home, ".config")):
            for name in names:
                path = os.path.join(folder, name)
                check(os.stat(path).st_uid == user.uid, f"{path} does not belong to {USER}")
        with open(os.path.join(user.app_folder, "Config.ini"), encoding="utf-8") as f:
            check("Style=Stretch" in f.read(), "Config.ini lost Style=Stretch")

    def remove():
        run(["apt-get", "remove", "-y", "velmora"], env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))
        check(installed_version() is None, "velmora is still installed")
        left = [p for p in shipped if os.path.lexists(p)]
        check(not left, f"left behind: {left}")
        check(not os.path.exists("/usr/share/velmora"), "/usr/share/velmora is left")

    x = None
    try:
        suite.step(f"the package is velmora {shown} and depends on the libraries VLMR and its module link", control)
        suite.step("apt-get install ./velmora_*.deb installs it with its dependencies", install)
        suite.step("the systemd user timer and service are installed, valid and not enabled", schedule)
        if not suite.failed:
            x = state["x"] = Xvfb()
        suite.step(f"{USER} runs /usr/bin/VLMR: one boot run, exit 0, the root window red", boot_run)
        suite.step(f"{USER} runs VLMR Config: the window {CONFIGURATOR!r} appears and closes", configurator)
        suite.step("apt-get remove velmora removes every file it installed", remove)
    finally:
        if x:
            x.close()
        if "user" in state:
            state["user"].reset()
        if installed_version():
            subprocess.run(["apt-get", "remove", "-y", "velmora"], capture_output=True)
    suite.exit()


if __name__ == "__main__":
    main()
