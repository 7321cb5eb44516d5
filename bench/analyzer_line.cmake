# The Analyzer's pass against libmodbus on the same line, and block reads.
# Run: build/bench/analyzer_line_bench (or `make run_analyzer_line_bench`).
find_package(PkgConfig)
if(PkgConfig_FOUND)
  pkg_check_modules(BENCH_LIBMODBUS IMPORTED_TARGET libmodbus)
endif()
if(BENCH_LIBMODBUS_FOUND)
  add_executable(analyzer_line_bench ${CMAKE_CURRENT_LIST_DIR}/analyzer_line.cpp)
  regscope_link_headless(analyzer_line_bench)
  target_link_libraries(analyzer_line_bench PRIVATE regscope_sim PkgConfig::BENCH_LIBMODBUS)
  add_custom_target(run_analyzer_line_bench COMMAND analyzer_line_bench
    DEPENDS analyzer_line_bench USES_TERMINAL)
endif()
