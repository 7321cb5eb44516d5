# The communication monitor against the simulator on a pty.
regscope_add_test(monitor_integration_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/monitor_sim_test.cpp
  LIBS regscope_core regscope_headless regscope_sim)
target_include_directories(monitor_integration_test PRIVATE ${CMAKE_CURRENT_LIST_DIR})
