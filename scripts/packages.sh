# Debian packages that building and testing Velmora needs, one group a line.
# Sourced by setup.sh.
VELMORA_BUILD_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev libx11-dev libglib2.0-dev
  mingw-w64 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64
  dpkg-dev nsis
)
VELMORA_RUN_PACKAGES=(
  xvfb
)
VELMORA_TEST_PACKAGES=(
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  x11-apps x11-utils xdotool xclip imagemagick fonts-dejavu-core python3
  desktop-file-utils xdg-utils appstream
  gsettings-desktop-schemas libglib2.0-bin dconf-gsettings-backend dconf-service
  dbus-daemon dbus-bin xfconf python3-dbus python3-gi nodejs
  sway swaybg grim
)
# Only for scripts/draw-resources.sh, which redraws the committed pictures.
VELMORA_DRAW_PACKAGES=(
  imagemagick librsvg2-bin fonts-dejavu-core
)
