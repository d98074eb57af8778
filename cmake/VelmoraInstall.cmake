# What `cmake --install` puts where. Everything Velmora ships belongs to the
# component "velmora", so that CPack packs only that (the cross build also
# carries GoogleTest's install rules).
#
# Linux: a normal FHS prefix. VLMR looks for its fallback picture at
# ../share/velmora/logo.gif and for its toolkit module at
# ../lib/velmora/libvelmora-toolkit.so from the folder of the executable, so
# these destinations are fixed here rather than taken from GNUInstallDirs, whose
# values a distributor may change independently.
# Windows: one flat folder, the layout VLMR.exe expects (its data files
# live beside it).

set(VELMORA_APP_ID "com.corvantis.velmora")
# The day the version above was released; change both together.
set(VELMORA_RELEASE_DATE "2026-12-07")
set(VELMORA_PACKAGING_DIR "${PROJECT_SOURCE_DIR}/packaging")
set(VELMORA_ICON_DIR "${PROJECT_SOURCE_DIR}/resources/icon")

if(WIN32)
  install(TARGETS VLMR RUNTIME DESTINATION . COMPONENT velmora)
  install(FILES "${VELMORA_LOGO}" DESTINATION . COMPONENT velmora)
  # Windows users open .txt files with Notepad, which wants CR LF.
  configure_file("${VELMORA_PACKAGING_DIR}/README-windows.txt" "${CMAKE_BINARY_DIR}/packaging/README.txt"
                 @ONLY NEWLINE_STYLE CRLF)
  install(FILES "${CMAKE_BINARY_DIR}/packaging/README.txt" DESTINATION . COMPONENT velmora)
else()
  install(TARGETS VLMR RUNTIME DESTINATION bin COMPONENT velmora)
  # The Qt front end, which VLMR loads from ../lib/velmora beside its bin.
  install(TARGETS velmora-toolkit LIBRARY DESTINATION lib/velmora COMPONENT velmora)
  install(FILES "${VELMORA_LOGO}" DESTINATION share/velmora COMPONENT velmora)

  install(FILES "${VELMORA_PACKAGING_DIR}/velmora.desktop" DESTINATION share/applications COMPONENT velmora)
  foreach(size 16 32 48 256)
    install(FILES "${VELMORA_ICON_DIR}/velmora-${size}.png" DESTINATION "share/icons/hicolor/${size}x${size}/apps"
            RENAME velmora.png COMPONENT velmora)
  endforeach()
  install(FILES "${VELMORA_ICON_DIR}/velmora.svg" DESTINATION share/icons/hicolor/scalable/apps COMPONENT velmora)

  set(VELMORA_METAINFO "${CMAKE_BINARY_DIR}/packaging/${VELMORA_APP_ID}.metainfo.xml")
  configure_file("${VELMORA_PACKAGING_DIR}/velmora.metainfo.xml.in" "${VELMORA_METAINFO}" @ONLY)
  install(FILES "${VELMORA_METAINFO}" DESTINATION share/metainfo COMPONENT velmora)

  # The half-hourly schedule, for the user to enable. The user's service
  # manager reads /usr/lib/systemd/user and /usr/local/lib/systemd/user, so
  # the units work as installed under /usr (the .deb) or /usr/local.
  install(FILES "${VELMORA_PACKAGING_DIR}/velmora.service" "${VELMORA_PACKAGING_DIR}/velmora.timer"
          DESTINATION lib/systemd/user COMPONENT velmora)
endif()
