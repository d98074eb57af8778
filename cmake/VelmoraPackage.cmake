# The packages CPack makes of the install rules in VelmoraInstall.cmake:
#   Linux:   velmora_<version>_<arch>.deb
#   Windows: velmora-<version>-win64.zip, the portable folder, and
#            velmora-<version>-win64-setup.exe, the per-user installer. CPack's
#            own NSIS generator asks for administrator rights and installs for
#            all users, so the installer comes from packaging/velmora.nsi
#            instead, built by CPack's External generator: CPack stages the
#            install and packaging/MakeNsisInstaller.cmake runs makensis on it.
# Make them with `cpack --config <build>/CPackConfig.cmake` after building
# VLMR (scripts/release.sh does all of it).

set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "Corvantis")
# The version people see everywhere: the program, the metadata, the packages.
set(CPACK_PACKAGE_VERSION "${VELMORA_VERSION_TEXT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_HOMEPAGE_URL "${VELMORA_HOME_PAGE}")
set(VELMORA_PACKAGE_CONTACT "Corvantis <velmora@velmora.example>" CACHE STRING
    "Maintainer of the packages, \"Name <address>\"")
set(CPACK_PACKAGE_CONTACT "${VELMORA_PACKAGE_CONTACT}")
# Only what Velmora ships, never the install rules of what the build pulls in.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};velmora;/")

if(WIN32)
  set(CPACK_GENERATOR "ZIP;External")
  set(CPACK_SYSTEM_NAME win64)
  set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-${CPACK_SYSTEM_NAME}")

  find_program(VELMORA_MAKENSIS makensis DOC "NSIS compiler for the Windows installer (Debian package nsis)")
  set(CPACK_EXTERNAL_REQUESTED_VERSIONS "1.0")
  set(CPACK_EXTERNAL_ENABLE_STAGING ON)
  set(CPACK_EXTERNAL_PACKAGE_SCRIPT "${PROJECT_SOURCE_DIR}/packaging/MakeNsisInstaller.cmake")
  # CPACK_* variables reach the package script through CPackConfig.cmake.
  set(CPACK_VELMORA_MAKENSIS "${VELMORA_MAKENSIS}")
  set(CPACK_VELMORA_NSIS_SCRIPT "${PROJECT_SOURCE_DIR}/packaging/velmora.nsi")
  set(CPACK_VELMORA_ICON "${PROJECT_SOURCE_DIR}/resources/icon/velmora.ico")
  set(CPACK_VELMORA_VERSION_NUMERIC "${PROJECT_VERSION}")
  set(CPACK_VELMORA_HOME_PAGE "${VELMORA_HOME_PAGE}")
  set(CPACK_VELMORA_INSTALLER_NAME "${CPACK_PACKAGE_FILE_NAME}-setup.exe")
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION x11)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # Depends computed by dpkg-shlibdeps (dpkg-dev) from the libraries VLMR
  # really links.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # Qt loads its WebP decoder as a plug-in at run time, which dpkg-shlibdeps
  # cannot see; VLMR needs it to draw WebP pictures on the X11 root.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-image-formats-plugins")
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VELMORA_HOME_PAGE}")
  # The synopsis line is CPACK_PACKAGE_DESCRIPTION_SUMMARY; this is the rest.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Velmora gives the desktop a wallpaper picked at random at every logon.
Point it once at a folder of bitmap pictures, choose how the picture sits
on the screen (Center, Tile or Stretch) and whether it starts at logon;
from then on every start of VLMR shows a small banner, draws one picture
from the saved list, hands it to the desktop and ends.
.
The menu entry Velmora (VLMR Config) opens the configurator.")
endif()

include(CPack)
