regscope_add_test(analyzer_tests SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/analyzer_convert_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/analyzer_picture_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/analyzer_wide_test.cpp
  LIBS regscope_analyzer)
# The channel file, loaded through the configuration store.
regscope_add_test(analyzer_channels_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/analyzer_channels_test.cpp
  LIBS regscope_analyzer_tool regscope_headless)
