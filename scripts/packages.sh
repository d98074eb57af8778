# Debian packages that building and testing Velmora needs, one group a line.
# Sourced by setup.sh.
VELMORA_BUILD_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev libx11-dev libxrandr-dev libxrender-dev libglib2.0-dev
  mingw-w64 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64
  dpkg-dev nsis
  file  # cpack finds the binaries of the .deb for dpkg-shlibdeps with file
)
VELMORA_RUN_PACKAGES=(
  xvfb
  qt6-image-formats-plugins  # the WebP decoder that VLMR draws WebP pictures with
)
VELMORA_TEST_PACKAGES=(
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  x11-apps x11-utils xdotool xclip imagemagick fonts-dejavu-core python3
  x11-xserver-utils  # xrandr splits the test screen into monitors
  desktop-file-utils xdg-utils appstream
  gsettings-desktop-schemas libglib2.0-bin dconf-gsettings-backend dconf-service
  dbus-daemon dbus-bin xfconf python3-dbus python3-gi nodejs
  libxfconf-0-3  # xfconf-query's own library: xfconf only recommends it
  sway swaybg grim
  clang libclang-rt-14-dev strace xtrace
  llvm  # llvm-symbolizer: sanitizer reports then name the source lines
  systemd  # systemd-analyze checks the timer units
  time valgrind  # bench/: /usr/bin/time's peak memory, callgrind's profile of a boot run
)
# Only for scripts/draw-resources.sh, which redraws the committed pictures.
VELMORA_DRAW_PACKAGES=(
  imagemagick librsvg2-bin fonts-dejavu-core
)

# What the build and the tests start, and the package that brings each: setup.sh
# makes one harmless call of each (a package installed without its recommended
# ones can leave a program that does not start). One line each:
#   program  package  [call; default "program --version"; "ldd": only that its
#   libraries are found, for a program that needs a display or a Wine prefix]
VELMORA_BUILD_PROGRAMS=(
  "cmake                         cmake"
  "cpack                         cmake"
  "ctest                         cmake"
  "ninja                         ninja-build"
  "g++                           g++"
  "pkg-config                    pkg-config"
  "x86_64-w64-mingw32-g++-posix  g++-mingw-w64-x86-64-posix"
  "x86_64-w64-mingw32-windres    binutils-mingw-w64-x86-64"
  "wine                          wine"
  "wineserver                    wine64"
  "dpkg-shlibdeps                dpkg-dev"
  "file                          file"
  "makensis                      nsis  makensis -VERSION"
  "Xvfb                          xvfb  ldd"
  "/usr/lib/*/qt6/plugins/imageformats/libqwebp.so  qt6-image-formats-plugins  ldd"
)
VELMORA_TEST_PROGRAMS=(
  "xdotool                       xdotool  ldd"
  "xwininfo                      x11-utils  xwininfo -version"
  "xprop                         x11-utils  ldd"
  "xwd                           x11-apps  ldd"
  "xrandr                        x11-xserver-utils  ldd"
  "xclip                         xclip  xclip -version"
  "/usr/bin/convert              imagemagick  /usr/bin/convert -version"
  "desktop-file-validate         desktop-file-utils  desktop-file-validate --help"
  "xdg-mime                      xdg-utils"
  "appstreamcli                  appstream"
  "gsettings                     libglib2.0-bin"
  "glib-compile-schemas          libglib2.0-bin"
  "/usr/libexec/dconf-service    dconf-service  ldd"
  "/usr/lib/*/gio/modules/libdconfsettings.so  dconf-gsettings-backend  ldd"
  "dbus-daemon                   dbus-daemon"
  "dbus-run-session              dbus-bin"
  "/usr/lib/*/xfce4/xfconf/xfconfd  xfconf  ldd"
  "xfconf-query                  xfconf"
  "/usr/bin/python3              python3-dbus  /usr/bin/python3 -c 'import dbus.mainloop.glib'"
  "/usr/bin/python3              python3-gi  /usr/bin/python3 -c 'from gi.repository import GLib'"
  "node                          nodejs"
  "sway                          sway"
  "swaymsg                       sway"
  "swaybg                        swaybg"
  "grim                          grim  grim -h"
  "setpriv                       util-linux"
  "runuser                       util-linux"
  "useradd                       passwd  useradd --help"
  "clang++                       clang"
  "llvm-symbolizer               llvm"
  'libFuzzer                     libclang-rt-14-dev  test -f "$(clang++ --print-runtime-dir)/libclang_rt.fuzzer-x86_64.a"'
  "strace                        strace  strace -V"
  "xtrace                        xtrace"
  "systemd-analyze               systemd"
)
VELMORA_DRAW_PROGRAMS=(
  "/usr/bin/convert              imagemagick  /usr/bin/convert -version"
  "rsvg-convert                  librsvg2-bin"
)
