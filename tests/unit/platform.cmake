# The platform layer on its own: dialogs, image and line windows of the
# headless window system, its timer, and append files.
regscope_add_test(platform_test SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/platform_dialog_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform_image_window_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform_line_window_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform_append_file_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/platform_timer_test.cpp
  LIBS regscope_headless regscope_posix)
