# The Test module tool in the desktop program, with a driver of its own that
# carries the simulated module.
add_executable(regscope_tmodule_gui_driver
  ${CMAKE_CURRENT_LIST_DIR}/driver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/driver_main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tmodule_gui_scenarios.cpp)
target_link_libraries(regscope_tmodule_gui_driver PRIVATE regscope_core regscope_wx regscope_posix
  regscope_core regscope_codec regscope_sim)

add_executable(regscope_tmodule_gui_test ${CMAKE_CURRENT_LIST_DIR}/tmodule_gui_test.cpp)
target_link_libraries(regscope_tmodule_gui_test PRIVATE GTest::gtest GTest::gtest_main)
target_compile_definitions(regscope_tmodule_gui_test PRIVATE
  REGSCOPE_BINARY_DIR="${PROJECT_BINARY_DIR}"
  REGSCOPE_TMODULE_GUI_DRIVER="$<TARGET_FILE:regscope_tmodule_gui_driver>")
add_dependencies(regscope_tmodule_gui_test regscope_tmodule_gui_driver)
gtest_discover_tests(regscope_tmodule_gui_test DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT 180 LABELS gui)
