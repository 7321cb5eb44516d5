regscope_add_test(config_test SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/config_paths_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/config_store_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/config_reset_test.cpp
  LIBS regscope_app regscope_headless)
# The files' identity also across a start of the program.
regscope_add_test(file_identity_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/file_identity_test.cpp
  LIBS regscope_core regscope_headless)
