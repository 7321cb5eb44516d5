# Helpers shared by the CMake files of every subsystem.

# regscope_link_headless(target): links the program on the headless backend
# with the real serial link (tests, regscope-script).
function(regscope_link_headless target)
  target_link_libraries(${target} PRIVATE regscope_core regscope_headless)
endfunction()

# regscope_add_test(name SOURCES a.cpp b.cpp LIBS x y): one GoogleTest
# executable of an area, linked with the libraries it names and nothing
# else: the smallest set that holds the code under test, with
# regscope_headless where that code uses the window system and regscope_core
# where a test starts the whole program. Each test case runs in its own
# process under CTest, so that process-wide state starts fresh.
#
# On Windows only the programs named in REGSCOPE_WINE_TESTS are built, each
# run whole as one test (a Wine start per test case would cost more than
# the tests).
# The others need a pseudo-terminal, a second user or Linux's own calls.
set(REGSCOPE_WINE_TESTS
  "analyzer_channels_test;analyzer_tests;forms_test;modbus_codec_tests;monitor_unit_tests;number_parse_test;scan_plan_test;setup_tests;shell_test;sim_unit_tests;tmodule_models_test;tmodule_tables_test;windows_files_test"
  CACHE STRING "The unit test programs cross-built for Windows")
function(regscope_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  if(WIN32 AND NOT name IN_LIST REGSCOPE_WINE_TESTS)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE REGSCOPE_SOURCE_DIR="${PROJECT_SOURCE_DIR}" REGSCOPE_BINARY_DIR="${PROJECT_BINARY_DIR}")
  if(WIN32)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT 120)
  endif()
endfunction()
