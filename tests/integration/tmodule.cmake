# Test module tool against simulated modules on a pty.
regscope_add_test(tmodule_identify_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tmodule_identify_test.cpp)
regscope_add_test(tmodule_panels_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tmodule_panels_test.cpp)
