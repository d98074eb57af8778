"""The courses of a start that stop to talk to the user.

usage: test_dispatch.py not_installed|second_instance|missing_list|config_argument|no_display|
                        unreachable_display|display_vanishes|exception|event_loop
"""
import os
import subprocess
import sys
import time

from vlmr_session import Session, check, finished, log_events, start_xvfb, wait_for


def expect_message(session, pid, text):
    box = session.wait_window("Velmora", pid)
    shown = session.message_text(box)
    check(shown == text, f"the box says {shown!r}, expected {text!r}")
    return box


def not_installed(session):
    vlmr = session.start()
    box = expect_message(session, vlmr.pid, "Please Configure")
    check(session.banners(vlmr.pid), "the banner is not shown behind 'Please Configure'")
    session.press(box, "Return")
    configurator = session.wait_window("Velmora Configurator", vlmr.pid)
    check(session.geometry(configurator)[2:] == (362, 107), "the configurator is not 362 x 107")
    check(not session.banners(vlmr.pid), "the banner stays up beside the configurator")
    check(vlmr.poll() is None, "the program ended while the configurator is open")
    session.close_window(configurator)
    check(finished(vlmr) == 0, "closing the configurator did not end the program with 0")


def second_instance(session):
    # Everything a boot run needs is there, so any change would show.
    image = session.make_image("red.bmp", "-size", "64x64", "xc:red")
    session.write_app_file("Installed", "07/12/2026\r\n")
    session.write_app_file("IPaths.dat", image + "\r\n")
    session.write_app_file("Config.ini", "[VLMR]\r\nStyle=Stretch\r\n")
    files = {name: open(os.path.join(session.app_folder, name), "rb").read() for name in os.listdir(session.app_folder)}
    first = session.start("Config")
    session.wait_window("Velmora Configurator", first.pid)
    before = session.screenshot()
    for args in [(), ("Config",)]:
        second = session.start(*args)
        box = expect_message(session, second.pid, "Velmora Is Allready Running")
        check(not session.banners(second.pid), "the second start shows the banner")
        session.press(box, "Return")
        check(finished(second) == 0, "the refused start did not exit 0")
        wait_for(lambda: session.screenshot().data == before.data, 5, f"the screen as before a second start {args}")
    check(first.poll() is None, "the first instance ended")
    now = {name: open(os.path.join(session.app_folder, name), "rb").read() for name in os.listdir(session.app_folder)}
    check(now == files, "the second start changed the application folder")


def missing_list(session):
    session.write_app_file("Installed", "07/12/2026\r\n")
    session.write_app_file("Config.ini", "[VLMR]\r\nStyle=Stretch\r\n")
    vlmr = session.start()
    box = expect_message(session, vlmr.pid, "Velmora Is NOT Configured")
    session.press(box, "Return")
    check(finished(vlmr) == 0, "the program did not end with 0 after 'Velmora Is NOT Configured'")


def config_argument(session):
    vlmr = session.start("Config")
    configurator = session.wait_window("Velmora Configurator", vlmr.pid)
    check(not session.windows("Velmora", vlmr.pid), "a message box came with the argument Config")
    check(not session.banners(vlmr.pid), "the banner came with the argument Config")
    session.close_window(configurator)
    check(finished(vlmr) == 0, "closing the configurator did not end the program with 0")


def no_display(session):
    env = {k: v for k, v in session.env.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    vlmr = session.start(env=env)
    code = finished(vlmr)
    lines = vlmr.stderr.read().decode().splitlines()
    check(code == 1, f"exit code {code} without a display")
    check(len(lines) == 1 and "DISPLAY" in lines[0], f"expected one line naming DISPLAY, got {lines!r}")


def unreachable_display(session):
    vlmr = session.start(env=dict(session.env, DISPLAY=":987"))
    code = finished(vlmr)
    lines = vlmr.stderr.read().decode().splitlines()
    check(code == 1, f"exit code {code} with a display that is not there")
    said = [(level, message) for _, level, message in log_events("\n".join(lines))]
    check(said == [("error", "the display :987 cannot be reached; start VLMR inside a running desktop session")],
          f"expected one log line naming the display, got {lines!r}")


def display_vanishes(session):
    # The server dies at ever later moments: before the toolkit connects,
    # while it connects, once the first window is up. At most about 15 s.
    end = time.monotonic() + 15
    for step in range(40):
        if time.monotonic() > end:
            break
        xvfb, display = start_xvfb()
        vlmr = session.start(env=dict(session.env, DISPLAY=display))
        time.sleep(step * 0.003)
        xvfb.kill()
        xvfb.wait()
        code = finished(vlmr)
        said = vlmr.stderr.read().decode().strip()
        check(code == 1, f"exit code {code} when the display went away after {step * 3} ms: {said!r}")
        check(said, f"no word on stderr when the display went away after {step * 3} ms")


def exception(session):
    # Very many empty lines: a file small enough to read, but its line index
    # (four bytes a line) needs more memory than the process may have, so
    # building it throws.
    session.write_app_file("Installed", "07/12/2026\r\n")
    session.write_app_file("Config.ini", "[VLMR]\r\nStyle=Stretch\r\n")
    session.write_app_file("IPaths.dat", b"\n" * (128 << 20))
    vlmr = session.start(address_space=1 << 29)
    box = expect_message(session, vlmr.pid, "Velmora stopped: std::bad_alloc")
    session.press(box, "Return")
    code = finished(vlmr)
    check(code == 1, f"exit code {code} after the exception")
    lines = vlmr.stderr.read().decode().splitlines()
    check("Velmora stopped: std::bad_alloc" in lines, f"stderr does not say what stopped the program: {lines!r}")


def event_loop(session):
    # The toolkit's own calls into the program, each in the program's
    # application object: the exception ends at the box, never in an abort.
    for place in ("timer", "queued", "click", "paint"):
        driver = subprocess.Popen([os.environ["STOP_DRIVER"], place], env=session.env, stderr=subprocess.PIPE)
        session.processes.append(driver)
        if place == "click":
            button = session.wait_window("Throw", driver.pid)
            session.run("xdotool", "mousemove", "--window", str(button), "5", "5", "click", "1")
        box = expect_message(session, driver.pid, f"Velmora stopped: {place}")
        session.press(box, "Return")
        code = finished(driver)
        check(code == 1, f"exit code {code} after an exception from a {place}")
        check(f"Velmora stopped: {place}" in driver.stderr.read().decode(), f"stderr silent about the {place}")


if __name__ == "__main__":
    with Session() as s:
        {"not_installed": not_installed, "second_instance": second_instance, "missing_list": missing_list,
         "config_argument": config_argument, "no_display": no_display, "unreachable_display": unreachable_display,
         "display_vanishes": display_vanishes, "exception": exception, "event_loop": event_loop}[sys.argv[1]](s)
    print("passed")
