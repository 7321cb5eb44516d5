regscope_add_test(setup_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/setup_commands_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/setup_files_test.cpp LIBS regscope_core regscope_headless)
