# The bus scan on the paced simulator: its duration against the wire and
# wait times it is made of, the time Stop takes, and its CPU share.
# Run: build/bench/scan_bench (or `make run_scan_bench`).
add_executable(scan_bench ${CMAKE_CURRENT_LIST_DIR}/scan_bench.cpp)
target_link_libraries(scan_bench PRIVATE regscope_core regscope_headless regscope_sim)
add_custom_target(run_scan_bench COMMAND scan_bench DEPENDS scan_bench USES_TERMINAL)
