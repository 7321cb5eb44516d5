# Helpers shared by the CMake files of every subsystem.

# regscope_link_headless(target): links the program on the headless backend
# with the real serial link (tests, regscope-script).
function(regscope_link_headless target)
  target_link_libraries(${target} PRIVATE regscope_core regscope_headless)
endfunction()

# regscope_add_test(name SOURCES a.cpp b.cpp [LIBS x y]): one GoogleTest
# executable of an area, each test case run in its own process by CTest so
# that process-wide state starts fresh.
function(regscope_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  regscope_link_headless(${name})
  target_link_libraries(${name} PRIVATE regscope_sim GTest::gtest GTest::gtest_main GTest::gmock ${T_LIBS})
  target_compile_definitions(${name} PRIVATE REGSCOPE_SOURCE_DIR="${PROJECT_SOURCE_DIR}" REGSCOPE_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT 120)
endfunction()
