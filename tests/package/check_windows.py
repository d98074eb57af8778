#!/usr/bin/env python3
"""The Windows packages: the portable zip's contents, and the per-user
installer under Wine in a throwaway prefix: a silent install, the files, the
Start menu shortcut and the uninstall entry, VLMR.exe Config from the
install folder, then the silent uninstaller, which takes the program, its
data files, its run log, its Run value, the shortcut and the folder with it.

usage: check_windows.py SOURCE_DIR BUILD_DIR ZIP INSTALLER
"""
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile

from pkgtest import Failed, Suite, Xvfb, check, cmake_cache_value, project_versions, run, run_status, wait_for

UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora"
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
CONFIGURATOR = "Velmora Configurator"


def read_shortcut(path):
    """Target, arguments and working folder of a .lnk (the Shell Link format)."""
    with open(path, "rb") as f:
        data = f.read()
    check(data[:4] == b"L\0\0\0", f"{path} is no shell link")
    flags = struct.unpack_from("<I", data, 0x14)[0]
    offset, target = 0x4C, None
    if flags & 0x1:  # an item id list
        offset += 2 + struct.unpack_from("<H", data, offset)[0]
    if flags & 0x2:  # link info, with the target's local path
        size = struct.unpack_from("<I", data, offset)[0]
        info = data[offset:offset + size]
        base = struct.unpack_from("<I", info, 16)[0]
        target = info[base:info.index(b"\0", base)].decode("latin-1")  # ANSI; our paths are ASCII
        offset += size
    strings = {}
    for bit, name in ((0x4, "name"), (0x8, "relative"), (0x10, "folder"), (0x20, "arguments"), (0x40, "icon")):
        if flags & bit:
            count = struct.unpack_from("<H", data, offset)[0]
            offset += 2
            if flags & 0x80:
                text, offset = data[offset:offset + 2 * count].decode("utf-16-le"), offset + 2 * count
            else:
                text, offset = data[offset:offset + count].decode("latin-1"), offset + count
            strings[name] = text.rstrip("\0")  # Wine counts the terminator too
    return target, strings.get("arguments", ""), strings.get("folder", "")


class Wine:
    """A throwaway prefix with one persistent wineserver and its own X server."""

    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="velmora-wine-")
        self.x = None
        home = os.path.join(self.root, "home")
        self.env = dict(os.environ, WINEPREFIX=os.path.join(self.root, "prefix"), WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=", HOME=home, XDG_CONFIG_HOME=f"{home}/.config",
                        XDG_DATA_HOME=f"{home}/.local/share", XDG_CACHE_HOME=f"{home}/.cache",
                        XDG_RUNTIME_DIR=os.path.join(self.root, "run"))
        os.makedirs(home)
        os.makedirs(self.env["XDG_RUNTIME_DIR"], mode=0o700)

    def start(self):
        self.x = Xvfb("1024x768x24")
        self.env["DISPLAY"] = self.x.display
        # wineboot's own server finishes the prefix before the persistent one
        # starts; then the system processes, started before any test program
        # so that they never hold its output open.
        self.run("wineboot", "-i")
        self.run("wineserver", "-w")
        self.run("wineserver", "-p")
        self.run("wineboot")
        # No window manager here: unmanaged windows, or Wine waits for one.
        self.reg("add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/d", "N", "/f")

    def close(self):
        run_status(["wineserver", "-k"], env=self.env)
        if self.x:
            self.x.close()
        shutil.rmtree(self.root, ignore_errors=True)

    def run(self, *command, check_status=True, cwd=None):
        return run(list(command), check_status=check_status, env=self.env, cwd=cwd)

    def reg(self, *arguments, check_status=True):
        return self.run("wine", "reg", *arguments, check_status=check_status).replace("\r", "")

    def values(self, key):
        """The values of a registry key, or None when the key is missing."""
        status, stdout, stderr = run_status(["wine", "reg", "query", key], env=self.env)
        if status != 0:
            check("Unable to find" in stderr + stdout, f"reg query {key} failed: {stdout}{stderr}")
            return None
        found = {}
        for line in stdout.replace("\r", "").splitlines():
            match = re.match(r"^\s+(.+?)\s{4}(REG_\w+)\s{4}(.*)$", line)
            if match:
                found[match.group(1)] = match.group(3)
        return found

    def windows_variable(self, name):
        return self.run("wine", "cmd", "/c", f"echo %{name}%").strip()

    def unix_path(self, windows_path):
        return self.run("winepath", "-u", windows_path).strip()


def main():
    source_dir, build_dir, zip_path, installer = sys.argv[1:5]
    installer = os.path.abspath(installer)
    shown, _ = project_versions(source_dir)
    home_page = cmake_cache_value(build_dir, "VELMORA_HOME_PAGE")
    suite = Suite("windows")
    wine = Wine()
    state = {}

    def portable_zip():
        with zipfile.ZipFile(zip_path) as archive:
            names = sorted(n for n in archive.namelist() if not n.endswith("/"))
            tops = {n.split("/")[0] for n in names}
            check(len(tops) == 1, f"the zip has {len(tops)} top folders: {tops}")
            top = tops.pop()
            check(names == [f"{top}/{n}" for n in ("README.txt", "VLMR.exe", "logo.gif")], f"the zip holds {names}")
            state["exe"] = archive.read(f"{top}/VLMR.exe")
            readme = archive.read(f"{top}/README.txt").decode("ascii")
            logo = archive.read(f"{top}/logo.gif")
        check(state["exe"][:2] == b"MZ", "VLMR.exe is no Windows program")
        with open(os.path.join(source_dir, "resources/logo.gif"), "rb") as f:
            check(logo == f.read(), "logo.gif is not resources/logo.gif")
        check(shown in readme and home_page in readme, "README.txt lacks the version or the home page")
        check("\r\n" in readme and "\n" not in readme.replace("\r\n", ""), "README.txt lines do not end in CR LF")

    def install():
        # Wine gives every program full rights, so read the manifest instead:
        # Windows must start the installer with the user's own rights.
        with open(installer, "rb") as f:
            levels = re.findall(rb'requestedExecutionLevel\s+level="(\w+)"', f.read())
        check(levels == [b"asInvoker"], f"the installer asks for execution levels {levels}")
        wine.start()
        wine.run("wine", installer, "/S")
        local = wine.windows_variable("LOCALAPPDATA")
        state["instdir"] = local + r"\Programs\Velmora"
        state["logs"] = wine.unix_path(local + r"\Velmora")
        state["folder"] = wine.unix_path(state["instdir"])
        state["shortcut"] = os.path.join(wine.unix_path(wine.windows_variable("APPDATA")),
                                         "Microsoft/Windows/Start Menu/Programs/Velmora Configurator.lnk")
        folder = state["folder"]
        check(os.path.isdir(folder), f"no folder {state['instdir']}")
        check(sorted(os.listdir(folder)) == ["Uninstall.exe", "VLMR.exe", "logo.gif"],
              f"{state['instdir']} holds {sorted(os.listdir(folder))}")
        with open(os.path.join(folder, "VLMR.exe"), "rb") as f:
            check(f.read() == state["exe"], "the installed VLMR.exe is not the zip's")

    def shortcut():
        check(os.path.isfile(state["shortcut"]), f"no {state['shortcut']}")
        target, arguments, folder = read_shortcut(state["shortcut"])
        instdir = state["instdir"]
        check(target and target.lower() == (instdir + r"\VLMR.exe").lower(), f"the shortcut runs {target!r}")
        check(arguments == "Config", f"the shortcut passes {arguments!r}")
        check(folder.lower() == instdir.lower(), f"the shortcut starts in {folder!r}")

    def uninstall_entry():
        values = wine.values(UNINSTALL_KEY)
        check(values is not None, f"no {UNINSTALL_KEY}")
        instdir = state["instdir"]
        expected = {"DisplayName": "Velmora", "DisplayVersion": shown, "Publisher": "Corvantis",
                    "InstallLocation": instdir, "UninstallString": f'"{instdir}\\Uninstall.exe"',
                    "DisplayIcon": f"{instdir}\\VLMR.exe,0", "NoModify": "0x1", "NoRepair": "0x1",
                    "URLInfoAbout": home_page}
        wrong = {k: values.get(k) for k, v in expected.items() if values.get(k) != v}
        check(not wrong, f"wrong or missing values {wrong}; expected {expected}")

    def configurator():
        log = open(os.path.join(wine.root, "vlmr.log"), "w+b")
        vlmr = subprocess.Popen(["wine", "VLMR.exe", "Config"], cwd=state["folder"], env=wine.env,
                                stdout=log, stderr=log)
        try:
            found = wait_for(lambda: wine.x.windows(CONFIGURATOR) or vlmr.poll() is not None, 60,
                             f"the window {CONFIGURATOR!r}")
            if found is True:
                raise Failed(f"VLMR.exe Config ended ({vlmr.returncode}) without showing {CONFIGURATOR!r}")
            wine.x.close_window(found[0])
            code = vlmr.wait(timeout=30)
        except subprocess.TimeoutExpired:
            raise Failed("VLMR.exe did not end after its window was closed")
        finally:
            if vlmr.poll() is None:
                vlmr.kill()
                vlmr.wait()
            log.close()
        check(code == 0, f"VLMR.exe Config exited {code}")

    def uninstall():
        """Runs the registered uninstaller silently. It copies itself to the
        temporary folder, starts the copy and returns at once, so wait for its
        last act, the removal of the uninstall entry."""
        command = wine.values(UNINSTALL_KEY)["UninstallString"]
        match = re.fullmatch(r'"([^"]+)"', command)
        check(match, f"UninstallString {command!r} is not a quoted path")
        wine.run("wine", match.group(1), "/S")
        wait_for(lambda: wine.values(UNINSTALL_KEY) is None, 60, "the uninstaller to finish")

    def uninstall_after_use():
        instdir, folder = state["instdir"], state["folder"]
        # What a configured program leaves: its data files and a Run value.
        for name, text in (("Config.ini", "[VLMR]\r\nStyle=Stretch\r\n"), ("IPaths.dat", "C:\\red.bmp\r\n"),
                           ("Installed", "07/12/2026\r\n"), ("Shown.dat", "0" * 16 + "\r\n")):
            with open(os.path.join(folder, name), "w", newline="") as f:
                f.write(text)
        wine.reg("add", RUN_KEY, "/v", "VLMR", "/d", instdir + r"\VLMR.exe", "/f")
        # The configurator's run started the log; an older one lies beside it.
        logs = state["logs"]
        check(os.path.isfile(os.path.join(logs, "VLMR.log")), f"the run left no log in {logs}")
        with open(os.path.join(logs, "VLMR.log.1"), "w", newline="") as f:
            f.write("2024-01-02 03:04:05 1 info an earlier line\r\n")
        uninstall()
        check(not os.path.exists(folder), f"{instdir} is left: {os.listdir(folder) if os.path.isdir(folder) else ''}")
        check(not os.path.exists(logs), f"the log folder is left: {os.listdir(logs) if os.path.isdir(logs) else ''}")
        check(not os.path.exists(state["shortcut"]), "the shortcut is left")
        check("VLMR" not in (wine.values(RUN_KEY) or {}), "the Run value VLMR is left")

    def keeps_what_is_not_its_own():
        wine.run("wine", installer, "/S")
        folder = state["folder"]
        check(os.path.isfile(os.path.join(folder, "VLMR.exe")), "the second install did not install")
        with open(os.path.join(folder, "notes.txt"), "w") as f:
            f.write("mine\n")
        # A portable copy elsewhere registered itself to start at logon.
        portable = wine.unix_path(r"C:\Portable")
        os.makedirs(portable)
        with open(os.path.join(portable, "VLMR.exe"), "wb") as f:
            f.write(state["exe"])
        wine.reg("add", RUN_KEY, "/v", "VLMR", "/d", r"C:\Portable\VLMR.exe", "/f")
        uninstall()
        check(os.path.isdir(folder) and os.listdir(folder) == ["notes.txt"],
              f"the folder should hold only notes.txt: {os.listdir(folder) if os.path.isdir(folder) else 'gone'}")
        run_value = (wine.values(RUN_KEY) or {}).get("VLMR")
        check(run_value == r"C:\Portable\VLMR.exe", f"the portable copy's Run value became {run_value!r}")

    try:
        suite.step("the zip holds VLMR.exe, logo.gif and README.txt in one folder", portable_zip)
        suite.step(r"the installer /S puts VLMR.exe, logo.gif and Uninstall.exe in %LOCALAPPDATA%\Programs\Velmora",
                   install)
        suite.step('the Start menu shortcut "Velmora Configurator" runs VLMR.exe Config there', shortcut)
        suite.step("the per-user uninstall entry names the version, publisher and uninstaller", uninstall_entry)
        suite.step(f"VLMR.exe Config from the install folder shows {CONFIGURATOR!r} and ends when closed",
                   configurator)
        suite.step("the uninstaller /S takes the files, data files, run log, Run value, shortcut and folder",
                   uninstall_after_use)
        suite.step("the uninstaller keeps the user's own files and another copy's Run value",
                   keeps_what_is_not_its_own)
    finally:
        wine.close()
    suite.exit()


if __name__ == "__main__":
    main()
