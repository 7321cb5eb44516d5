regscope_add_test(password_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/password_test.cpp
  LIBS regscope_app regscope_headless)
