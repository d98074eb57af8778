#!/usr/bin/env python3
"""`cmake --install` of the Linux build into a fresh prefix: the file set,
the desktop entry and the AppStream metadata, validated with the freedesktop
tools and read back against the build's own version and home page.

usage: check_install_tree.py SOURCE_DIR BUILD_DIR
"""
import configparser
import os
import shutil
import struct
import sys
import tempfile
import xml.etree.ElementTree as ET

from pkgtest import Suite, check, cmake_cache_value, project_versions, run

ICON_SIZES = (16, 32, 48, 256)
# The Qt front end, which VLMR loads from ../lib/velmora.
TOOLKIT = "lib/velmora/libvelmora-toolkit.so"


def expected_files(app_id):
    files = {"bin/VLMR", TOOLKIT, "share/velmora/logo.gif", "share/applications/velmora.desktop",
             "share/icons/hicolor/scalable/apps/velmora.svg", f"share/metainfo/{app_id}.metainfo.xml",
             "lib/systemd/user/velmora.service", "lib/systemd/user/velmora.timer"}
    files |= {f"share/icons/hicolor/{s}x{s}/apps/velmora.png" for s in ICON_SIZES}
    return files


def installed_files(prefix):
    found = set()
    for folder, _, names in os.walk(prefix):
        for name in names:
            found.add(os.path.relpath(os.path.join(folder, name), prefix))
    return found


def main():
    source_dir, build_dir = sys.argv[1:3]
    suite = Suite("install tree")
    prefix = tempfile.mkdtemp(prefix="velmora-prefix-")
    state = {}
    try:
        def install():
            run(["cmake", "--install", build_dir, "--prefix", prefix])
            metainfo = [f for f in installed_files(prefix) if f.startswith("share/metainfo/")]
            check(len(metainfo) == 1, f"one metainfo file expected, found {metainfo}")
            state["metainfo"] = os.path.join(prefix, metainfo[0])
            state["app_id"] = os.path.basename(metainfo[0])[:-len(".metainfo.xml")]
            found, wanted = installed_files(prefix), expected_files(state["app_id"])
            check(found == wanted, f"missing {sorted(wanted - found)}, unexpected {sorted(found - wanted)}")
            check(os.access(os.path.join(prefix, "bin/VLMR"), os.X_OK), "bin/VLMR is not executable")
            # The boot run at logon loads no toolkit: VLMR links none, its module does.
            linked = run(["ldd", os.path.join(prefix, "bin/VLMR")])
            check("libQt" not in linked, f"bin/VLMR links Qt:\n{linked}")
            check("libQt6Widgets" in run(["ldd", os.path.join(prefix, TOOLKIT)]), f"{TOOLKIT} does not link Qt")
            with open(os.path.join(source_dir, "resources/logo.gif"), "rb") as a, \
                    open(os.path.join(prefix, "share/velmora/logo.gif"), "rb") as b:
                check(a.read() == b.read(), "share/velmora/logo.gif is not resources/logo.gif")

        def validate():
            desktop = os.path.join(prefix, "share/applications/velmora.desktop")
            out = run(["desktop-file-validate", desktop])
            check(out.strip() == "", f"desktop-file-validate complains:\n{out}")
            run(["appstreamcli", "validate", "--no-net", "--pedantic", state["metainfo"]])
            # The whole tree: the metainfo's launchable must name a desktop
            # entry that is there.
            run(["appstreamcli", "validate-tree", "--no-net", prefix])

        def desktop_entry():
            entry = configparser.ConfigParser(interpolation=None, strict=True)
            entry.optionxform = str
            entry.read(os.path.join(prefix, "share/applications/velmora.desktop"), encoding="utf-8")
            keys = entry["Desktop Entry"]
            check(keys.get("Name") == "Velmora", f"Name is {keys.get('Name')!r}")
            check(keys.get("Exec") == "VLMR Config", f"Exec is {keys.get('Exec')!r}")
            check(keys.get("Icon") == "velmora", f"Icon is {keys.get('Icon')!r}")
            categories = keys.get("Categories", "").split(";")
            check("Settings" in categories and "DesktopSettings" in categories, f"Categories {categories}")
            check(keys.get("Comment"), "no Comment")

        def metainfo():
            shown, _ = project_versions(source_dir)
            home_page = cmake_cache_value(build_dir, "VELMORA_HOME_PAGE")
            root = ET.parse(state["metainfo"]).getroot()
            check(root.get("type") == "desktop-application", f"component type {root.get('type')!r}")
            check(root.findtext("id") == state["app_id"], f"id {root.findtext('id')!r} is not the file's name")
            check(len(state["app_id"].split(".")) >= 3, f"id {state['app_id']!r} is not in reverse-DNS form")
            launchable = root.find("launchable[@type='desktop-id']")
            check(launchable is not None and launchable.text == "velmora.desktop", "no launchable velmora.desktop")
            url = root.findtext("url[@type='homepage']")
            check(url == home_page, f"homepage {url!r}, the build's VELMORA_HOME_PAGE is {home_page!r}")
            versions = [r.get("version") for r in root.iter("release")]
            check(versions and versions[0] == shown, f"newest release {versions[:1]}, the program is {shown}")
            check(root.find("content_rating") is not None, "no content rating")

        def icons():
            for size in ICON_SIZES:
                path = os.path.join(prefix, f"share/icons/hicolor/{size}x{size}/apps/velmora.png")
                with open(path, "rb") as f:
                    head = f.read(24)
                check(head[:8] == b"\x89PNG\r\n\x1a\n", f"{path} is not a PNG")
                width, height = struct.unpack(">II", head[16:24])
                check((width, height) == (size, size), f"{path} is {width}x{height}")
            with open(os.path.join(prefix, "share/icons/hicolor/scalable/apps/velmora.svg"), encoding="utf-8") as f:
                check("<svg" in f.read(), "velmora.svg is no SVG")

        suite.step("cmake --install puts exactly the shipped files into the prefix; only the module links Qt",
                   install)
        suite.step("desktop-file-validate and appstreamcli validate accept them", validate)
        suite.step("the desktop entry opens the configurator with the icon", desktop_entry)
        suite.step("the metadata carry the build's version, home page and launchable", metainfo)
        suite.step("the hicolor icons have their sizes", icons)
    finally:
        shutil.rmtree(prefix, ignore_errors=True)
    suite.exit()


if __name__ == "__main__":
    main()
