# makensis runs this on the uninstaller before it packs it and on the finished installer:
#   cmake -DSETTINGS=<file written by cpack_project_config.cmake> -DFILE=<exe> -P sign_file.cmake
include("${SETTINGS}")
include(${CMAKE_CURRENT_LIST_DIR}/authenticode.cmake)
zr8_authenticode_sign("${FILE}" "${ZR8_OSSLSIGNCODE}" "${ZR8_SIGN_PFX}" "${ZR8_SIGN_PASSWORD}"
  "${ZR8_SIGN_TIMESTAMP_URL}")
