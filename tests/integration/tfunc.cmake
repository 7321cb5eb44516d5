# Test function tool and function requests against the simulator on a pty.
regscope_add_test(tfunc_integration_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tfunc_auto_read_test.cpp
  LIBS regscope_core regscope_headless regscope_sim)
target_include_directories(tfunc_integration_test PRIVATE ${CMAKE_CURRENT_LIST_DIR})
