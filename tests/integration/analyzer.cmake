# The Analyzer against the simulator on a pty.
regscope_add_test(analyzer_integration_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/analyzer_bus_test.cpp
  LIBS regscope_core regscope_headless regscope_sim)
target_include_directories(analyzer_integration_test PRIVATE ${CMAKE_CURRENT_LIST_DIR})
