# Its tests draw with the fonts fontconfig finds: Linux only.
if(WIN32)
  return()
endif()
find_package(PkgConfig REQUIRED)
pkg_check_modules(PLOT_FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
regscope_add_test(plot_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/plot/plot_geometry_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/plot/plot_trace_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/plot/plot_degenerate_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/plot/number_text_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/plot/plot_log_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/plot/bmp_writer_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/plot/font_caches.cpp
  LIBS regscope_plot PkgConfig::PLOT_FONTCONFIG)
