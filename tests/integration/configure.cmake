regscope_add_test(configure_tests SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/configure_module_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/setup_serial_test.cpp
  LIBS regscope_core regscope_headless regscope_sim)
