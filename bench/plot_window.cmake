# An acquisition pass through the plot window on the headless backend, as
# the Analyzer makes it, over 10 000 passes.
# Run: build/bench/bench_plot_window (or `make run_plot_window_bench`).
add_executable(bench_plot_window ${CMAKE_CURRENT_LIST_DIR}/plot_window_bench.cpp)
regscope_link_headless(bench_plot_window)
add_custom_target(run_plot_window_bench COMMAND bench_plot_window DEPENDS bench_plot_window USES_TERMINAL)
