# Run by CPack (CPACK_PRE_BUILD_SCRIPTS) once the files of a package are staged: with a
# certificate given, every program is signed before the zip or the installer takes it.
if(NOT CPACK_ZR8_SIGN_PFX)
  return()
endif()
include(${CMAKE_CURRENT_LIST_DIR}/authenticode.cmake)
file(GLOB_RECURSE programs "${CPACK_TEMPORARY_DIRECTORY}/*.exe")
foreach(program IN LISTS programs)
  zr8_authenticode_sign("${program}" "${CPACK_ZR8_OSSLSIGNCODE}" "${CPACK_ZR8_SIGN_PFX}"
    "${CPACK_ZR8_SIGN_PASSWORD}" "${CPACK_ZR8_SIGN_TIMESTAMP_URL}")
endforeach()
