# GoogleTest: the packaged library natively, Debian's sources built here for Windows.
if(WIN32 OR ZR8_SANITIZE)
  set(ZR8_GTEST_SRC /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(${ZR8_GTEST_SRC} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  # googletest's own CMake already defines the GTest:: aliases.
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)
