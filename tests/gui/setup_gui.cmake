# GUI tests of the Setup menu and the start-up password in the desktop
# program, with a driver of their own built from the shared driver code.
add_executable(regscope_gui_setup_driver
  ${CMAKE_CURRENT_LIST_DIR}/driver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/driver_main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/setup_gui_scenarios.cpp)
target_link_libraries(regscope_gui_setup_driver PRIVATE regscope_core regscope_wx regscope_posix regscope_core regscope_codec)

add_executable(setup_gui_tests ${CMAKE_CURRENT_LIST_DIR}/setup_gui_test.cpp)
target_link_libraries(setup_gui_tests PRIVATE GTest::gtest GTest::gtest_main)
target_compile_definitions(setup_gui_tests PRIVATE
  REGSCOPE_BINARY_DIR="${PROJECT_BINARY_DIR}"
  REGSCOPE_GUI_DRIVER="$<TARGET_FILE:regscope_gui_setup_driver>")
add_dependencies(setup_gui_tests regscope_gui_setup_driver)
gtest_discover_tests(setup_gui_tests DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT 180 LABELS gui)
