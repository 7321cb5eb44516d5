# The plot window on the headless backend: start and stop, passes, the log,
# Plot setup and the two file commands.
regscope_add_test(plot_window_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/plot_window/plot_window_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/plot_window/plot_files_test.cpp
  LIBS regscope_core regscope_headless)
