# zr8_add_gtest(<target> SOURCES <files...> LIBS <libs...> [LABELS <labels...>])
# One GoogleTest executable; its cases are discovered when ctest runs (PRE_TEST), so
# Windows executables are listed through Wine at test time, never at build time.
function(zr8_add_gtest target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  # Windows test programs carry the program's string, message and version resources.
  if(COMMAND zr8_link_resources)
    zr8_link_resources(${target})
  endif()
  set(props "")
  if(ARG_LABELS)
    set(props PROPERTIES LABELS "${ARG_LABELS}")
  endif()
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    TEST_PREFIX "${target}."
    ${props})
endfunction()
