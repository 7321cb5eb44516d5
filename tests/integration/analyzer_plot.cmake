# The Analyzer's plot under Auto Read against the simulator on a pty.
regscope_add_test(analyzer_plot_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/analyzer_plot_test.cpp
  LIBS regscope_core regscope_headless regscope_sim)
target_include_directories(analyzer_plot_test PRIVATE ${CMAKE_CURRENT_LIST_DIR})
