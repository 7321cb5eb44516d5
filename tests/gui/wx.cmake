# GUI tests of the desktop program (need an X server: run under xvfb-run,
# skipped when it is missing). One driver carries every scenario, the
# simulated module included.
file(GLOB gui_driver_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
list(REMOVE_ITEM gui_driver_sources ${CMAKE_CURRENT_LIST_DIR}/wx_gui_test.cpp)
add_executable(regscope_gui_driver ${gui_driver_sources})
target_link_libraries(regscope_gui_driver PRIVATE regscope_core regscope_wx regscope_sim)

add_executable(regscope_gui_tests ${CMAKE_CURRENT_LIST_DIR}/wx_gui_test.cpp)
target_link_libraries(regscope_gui_tests PRIVATE GTest::gtest GTest::gtest_main)
target_compile_definitions(regscope_gui_tests PRIVATE
  REGSCOPE_BINARY_DIR="${PROJECT_BINARY_DIR}"
  REGSCOPE_GUI_DRIVER="$<TARGET_FILE:regscope_gui_driver>")
add_dependencies(regscope_gui_tests regscope_gui_driver)
gtest_discover_tests(regscope_gui_tests DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT 180 LABELS gui)
