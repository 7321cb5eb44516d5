regscope_add_test(plot_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/plot/plot_geometry_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/plot/plot_trace_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/plot/plot_degenerate_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/plot/number_text_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/plot/plot_log_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/plot/bmp_writer_test.cpp
  LIBS regscope_plot)
