# Test module tool against simulated modules on a pty.
regscope_add_test(tmodule_integration_test SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/tmodule_panels_test.cpp
  LIBS regscope_core regscope_headless regscope_sim)
