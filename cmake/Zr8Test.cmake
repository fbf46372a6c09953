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
  # NO_PRETTY_VALUES: a case's ctest name is its GoogleTest name. Otherwise CMake appends
  # the listing's "GetParam() = ..." text, which for a struct is its raw bytes: pointers and
  # padding that differ between the listing and the run.
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    NO_PRETTY_VALUES
    DISCOVERY_TIMEOUT 120
    TEST_PREFIX "${target}.")
  # gtest_discover_tests keeps only the first label of a list (its PROPERTIES lose the
  # escaping), so the labels are set by a file ctest reads after the discovered cases.
  if(ARG_LABELS)
    set(labels_file "${CMAKE_CURRENT_BINARY_DIR}/${target}_labels.cmake")
    file(WRITE "${labels_file}"
      "if(${target}_TESTS)\n"
      "  set_tests_properties(\${${target}_TESTS} PROPERTIES LABELS \"${ARG_LABELS}\")\n"
      "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${labels_file}")
  endif()
endfunction()
