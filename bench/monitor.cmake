# Cost of recording transactions for the communication monitor.
# Run: build/bench/capture_bench (or `make run_capture_bench`).
add_executable(capture_bench ${CMAKE_CURRENT_LIST_DIR}/capture_bench.cpp)
target_link_libraries(capture_bench PRIVATE regscope_codec)
add_custom_target(run_capture_bench COMMAND capture_bench DEPENDS capture_bench USES_TERMINAL)
