# Read by CPack for each generator (CPACK_PROJECT_CONFIG_FILE), after `cpack -D` settings.
# With a certificate, the installer script gets the commands that sign the uninstaller
# and the installer itself; CPACK_ZR8_NSIS_SIGNING stays empty otherwise.
set(CPACK_ZR8_NSIS_SIGNING "")
if(NOT CPACK_ZR8_SIGN_PFX OR NOT CPACK_GENERATOR MATCHES "NSIS")
  return()
endif()
if(NOT CPACK_ZR8_OSSLSIGNCODE)
  message(FATAL_ERROR "Signing needs osslsigncode (Debian package osslsigncode)")
endif()
if(NOT EXISTS "${CPACK_ZR8_SIGN_PFX}")
  message(FATAL_ERROR "The signing certificate ${CPACK_ZR8_SIGN_PFX} does not exist")
endif()
# The settings go to a file of their own: no quoting of the password in the NSIS script.
set(settings "${CPACK_ZR8_BINARY_DIR}/sign_settings.cmake")
file(WRITE "${settings}" "set(ZR8_OSSLSIGNCODE [==[${CPACK_ZR8_OSSLSIGNCODE}]==])
set(ZR8_SIGN_PFX [==[${CPACK_ZR8_SIGN_PFX}]==])
set(ZR8_SIGN_PASSWORD [==[${CPACK_ZR8_SIGN_PASSWORD}]==])
set(ZR8_SIGN_TIMESTAMP_URL [==[${CPACK_ZR8_SIGN_TIMESTAMP_URL}]==])
")
file(CHMOD "${settings}" PERMISSIONS OWNER_READ OWNER_WRITE)
set(sign "\"${CPACK_ZR8_CMAKE_COMMAND}\" \"-DSETTINGS=${settings}\" -DFILE=%1 -P \"${CPACK_ZR8_PACKAGING_DIR}/cmake/sign_file.cmake\"")
set(CPACK_ZR8_NSIS_SIGNING "!uninstfinalize '${sign}' = 0\n!finalize '${sign}' = 0")
