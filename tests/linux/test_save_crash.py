"""The save of the real `VLMR Config` killed at each system call on its files.

strace, attached once the folder is typed in, follows only the calls on IPaths.dat,
Config.ini, their temporary files, Installed and the test file, and kills the program
at the N-th call of one system call. A first run untouched names the calls; then every
call of every kind is a kill point in turn, until a run of that kind completes. After
every kill IPaths.dat and Config.ini must each be the whole old file or the whole new
one; every complete save must leave no temporary file and no test file behind, the
leftovers of the killed saves before it included.

usage: test_save_crash.py
"""
import collections
import os
import re
import shutil
import subprocess

from test_save import WAIT_SIZE, Save, app_file, touch, walk_order
from vlmr_session import Session, check

OLD_LIST = b"/home/someone/old/one.bmp\r\n/home/someone/old/two.bmp\r\n"
TEMP = re.compile(r"\.tmp\d+-\d+$")
# "123 write(3, ..." is a call; "<... write resumed>" only ends one begun earlier.
CALL = re.compile(r"^(\d+) +(\w+)\(")


def read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except FileNotFoundError:
        return None


class Crash:
    def __init__(self, session):
        self.session = session
        self.old_folder = session.path("old pictures")
        self.folder = session.path("new pictures")
        touch(os.path.join(self.old_folder, "one.bmp"),
              *[os.path.join(self.folder, n) for n in ("a.bmp", "sub/b.bmp", "sub/c.BMP", "notes.txt")])
        self.old_ini = f"[VLMR]\r\nStyle=Stretch\r\nPath={self.old_folder}\r\n".encode()
        self.new_ini = f"[VLMR]\r\nStyle=Stretch\r\nPath={self.folder}\r\n".encode()
        self.new_list = "".join(p + "\r\n" for p in walk_order(self.folder)).encode()
        self.test_file = os.path.join(self.folder, "VLMR-Test.VLMR")
        self.trace = session.path("trace")
        self.points = 0
        self.partial = []

    def save(self, inject=None):
        """One save from the old files, strace injecting as asked. Returns the trace lines
        and the program's exit code (-9 when the injection killed it)."""
        self.session.write_app_file("IPaths.dat", OLD_LIST)
        self.session.write_app_file("Config.ini", self.old_ini)
        save = Save(self.session)
        # The old path replaced by the new one; a slip shows in the files checked after.
        save.click("IPath")
        self.session.run("xdotool", "windowfocus", "--sync", str(save.window), "key", "ctrl+a",
                         "type", "--delay", "2", self.folder)

        pid = save.process.pid
        watched = [app_file(self.session, n) for n in ("IPaths.dat", "Config.ini", "Installed")] + [self.test_file]
        watched += [f"{app_file(self.session, n)}.tmp{pid}-0" for n in ("IPaths.dat", "Config.ini", "Installed")]
        command = ["strace", "-f", "-o", self.trace, "-p", str(pid)] + [a for p in watched for a in ("-P", p)]
        if inject:
            command += ["-e", f"inject={inject[0]}:signal=KILL:when={inject[1]}"]
        strace = subprocess.Popen(command, stderr=subprocess.PIPE, text=True)
        self.session.processes.append(strace)
        attached = strace.stderr.readline()
        if "attached" not in attached:
            raise AssertionError(f"strace did not attach: {attached}{strace.stderr.read()}")

        save.click("PSave")
        self.answer_boxes(save)
        strace.wait(timeout=20)
        with open(self.trace) as f:
            lines = f.read().splitlines()
        return lines, save.process.returncode

    def answer_boxes(self, save):
        """Return on each message box until the program ends, done or killed."""
        process, session = save.process, self.session
        for _ in range(600):
            if process.poll() is not None:
                return
            for box in session.windows("VLMR", process.pid):
                try:
                    if session.geometry(box)[2:] != WAIT_SIZE:
                        session.press(box, "Return")
                except subprocess.CalledProcessError:
                    pass  # gone meanwhile
            try:
                process.wait(timeout=0.05)
            except subprocess.TimeoutExpired:
                pass
        process.kill()
        raise AssertionError("the save neither ended nor was killed: " + process.stderr.read().decode())

    def check_complete(self, code, after):
        folder = self.session.app_folder
        check(code == 0, f"the complete save after {after} exited {code}")
        check(read(app_file(self.session, "IPaths.dat")) == self.new_list, f"IPaths.dat after {after} is not the new list")
        check(read(app_file(self.session, "Config.ini")) == self.new_ini, f"Config.ini after {after} is not the new one")
        check(os.path.exists(app_file(self.session, "Installed")), f"no Installed after {after}")
        left = sorted(n for n in os.listdir(folder) if TEMP.search(n))
        check(not left, f"a complete save after {after} leaves temporary files of killed saves: {left}")
        check(not os.path.exists(self.test_file), f"a complete save after {after} leaves the test file")

    def check_killed(self, lines, what):
        """The kill point and the state of both files after it."""
        self.points += 1
        calls = [line for line in lines if CALL.match(line)]
        # The call as strace began it, without its unknown end.
        point = re.split(r"\s*(?:<unfinished|= \?)", calls[-1].split(None, 1)[1])[0] if calls else "?"
        states = []
        for name, old, new in (("IPaths.dat", OLD_LIST, self.new_list), ("Config.ini", self.old_ini, self.new_ini)):
            data = read(app_file(self.session, name))
            state = "old" if data == old else "new" if data == new else "PARTIAL"
            if state == "PARTIAL":
                self.partial.append(f"{name} after {what}: {data!r}")
            states.append(f"{name} {state}")
        root = self.session.root + "/"
        print(f"kill {self.points:2} at {what}: {point.replace(root, '')[:100]} -> {', '.join(states)}")


def main():
    check(shutil.which("strace"), "strace is missing (Debian package strace)")
    with Session("640x480x24") as session:
        crash = Crash(session)
        lines, code = crash.save()
        crash.check_complete(code, "no kill")
        calls = collections.Counter(m.group(2) for m in map(CALL.match, lines) if m)
        threads = {m.group(1) for m in map(CALL.match, lines) if m}
        print(f"a save makes {sum(calls.values())} calls on its files: {dict(calls)}")
        # strace counts the calls of each thread apart: calls in a second thread would hide
        # behind the first thread's and never be a kill point.
        check(len(threads) == 1, f"the save's calls come from {len(threads)} threads")
        for name in ("IPaths.dat", "Config.ini"):  # else no kill point would fall in their writes
            check(any(f"/{name}" in line for line in lines), f"the trace shows no call on {name}")

        for syscall in sorted(calls):
            n = 0
            while True:
                n += 1
                check(n <= 4 * calls[syscall] + 4, f"{syscall} is still being killed at its call {n}")
                lines, code = crash.save((syscall, n))
                if code != -9:
                    crash.check_complete(code, f"the kills at {syscall}")
                    break
                crash.check_killed(lines, f"{syscall} #{n}")
        print(f"{crash.points} kill points, {len(crash.partial)} partial files")
        check(not crash.partial, "partial files:\n" + "\n".join(crash.partial))


if __name__ == "__main__":
    main()
    print("passed")
