# Plot drawing per acquisition pass, and Save to bmp of a large plot.
# Run: build/bench/bench_plot (or `make run_plot_bench` in the build folder).
add_executable(bench_plot ${CMAKE_CURRENT_LIST_DIR}/plot_bench.cpp)
target_link_libraries(bench_plot PRIVATE regscope_plot)
add_custom_target(run_plot_bench COMMAND bench_plot DEPENDS bench_plot USES_TERMINAL)
