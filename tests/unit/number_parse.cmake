regscope_add_test(number_parse_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/number_parse_test.cpp
  LIBS regscope_strings)
