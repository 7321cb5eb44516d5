# GUI tests of the desktop program (need an X server: run under xvfb-run,
# skipped when it is missing). One driver carries every scenario, the
# simulated module included.
add_executable(regscope_gui_driver
  ${CMAKE_CURRENT_LIST_DIR}/analyzer_gui_scenarios.cpp
  ${CMAKE_CURRENT_LIST_DIR}/analyzer_plot_scenarios.cpp
  ${CMAKE_CURRENT_LIST_DIR}/auto_read_gui_scenarios.cpp
  ${CMAKE_CURRENT_LIST_DIR}/driver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/driver_main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/menu_dialog_scenarios.cpp
  ${CMAKE_CURRENT_LIST_DIR}/monitor_gui_scenarios.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform_gui_scenarios.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scenarios.cpp
  ${CMAKE_CURRENT_LIST_DIR}/setup_gui_scenarios.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_function_scenarios.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tmodule_gui_scenarios.cpp)
target_link_libraries(regscope_gui_driver PRIVATE regscope_core regscope_wx regscope_sim)

add_executable(regscope_gui_tests ${CMAKE_CURRENT_LIST_DIR}/wx_gui_test.cpp)
target_link_libraries(regscope_gui_tests PRIVATE GTest::gtest GTest::gtest_main)
target_compile_definitions(regscope_gui_tests PRIVATE
  REGSCOPE_BINARY_DIR="${PROJECT_BINARY_DIR}"
  REGSCOPE_GUI_DRIVER="$<TARGET_FILE:regscope_gui_driver>"
  REGSCOPE_SIM="$<TARGET_FILE:regscope-sim>")
add_dependencies(regscope_gui_tests regscope_gui_driver regscope-sim)
gtest_discover_tests(regscope_gui_tests DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT 180 LABELS gui)
