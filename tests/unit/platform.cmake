# The platform layer on its own: the tick schedule and append files.
regscope_add_test(platform_test SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/platform_append_file_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform_timer_test.cpp
  LIBS regscope_headless regscope_posix)
if(WIN32)
  regscope_add_test(windows_files_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/windows_files_test.cpp
    LIBS regscope_posix)
endif()
