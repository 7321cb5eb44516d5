regscope_add_test(shell_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/shell_test.cpp
  LIBS regscope_core regscope_headless)
