# CPack External generator script: builds the per-user installer from
# packaging/velmora.nsi over the files CPack staged. Runs inside cpack, with
# CPackConfig.cmake's variables set.

if(NOT CPACK_VELMORA_MAKENSIS)
  message(FATAL_ERROR "makensis was not found when the build was configured (Debian package nsis)")
endif()

# Staged either straight into the temporary folder or into one folder per
# component, depending on the CPack version: look for the program.
file(GLOB_RECURSE staged_exe LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/*/VLMR.exe"
     "${CPACK_TEMPORARY_DIRECTORY}/VLMR.exe")
list(LENGTH staged_exe count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one staged VLMR.exe under ${CPACK_TEMPORARY_DIRECTORY}, found: ${staged_exe}")
endif()
get_filename_component(payload "${staged_exe}" DIRECTORY)
if(NOT EXISTS "${payload}/logo.gif")
  message(FATAL_ERROR "logo.gif is not staged beside VLMR.exe in ${payload}")
endif()

set(installer "${CPACK_TOPLEVEL_DIRECTORY}/${CPACK_VELMORA_INSTALLER_NAME}")
# -WX: an NSIS warning is a mistake in the script.
execute_process(
  COMMAND "${CPACK_VELMORA_MAKENSIS}" -V2 -WX -NOCD
    "-DVERSION_TEXT=${CPACK_PACKAGE_VERSION}"
    "-DVERSION_NUMERIC=${CPACK_VELMORA_VERSION_NUMERIC}"
    "-DHOME_PAGE=${CPACK_VELMORA_HOME_PAGE}"
    "-DPAYLOAD=${payload}"
    "-DICON=${CPACK_VELMORA_ICON}"
    "-DOUTFILE=${installer}"
    "${CPACK_VELMORA_NSIS_SCRIPT}"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "makensis failed (${status})")
endif()
set(CPACK_EXTERNAL_BUILT_PACKAGES "${installer}")
