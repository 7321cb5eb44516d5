regscope_add_test(monitor_unit_tests SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/frame_decoder_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/capture_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frame_lines_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/monitor_lines_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/monitor_window_test.cpp
  LIBS regscope_monitor regscope_app regscope_headless)

