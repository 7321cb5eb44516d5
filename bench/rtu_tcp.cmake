# The Analyzer's pass over RTU over TCP beside Modbus TCP, with a gateway that
# repeats replies. Run: build/bench/rtu_tcp_pass_bench (or `make run_rtu_tcp_pass_bench`).
add_executable(rtu_tcp_pass_bench ${CMAKE_CURRENT_LIST_DIR}/rtu_tcp_pass.cpp)
regscope_link_headless(rtu_tcp_pass_bench)
target_link_libraries(rtu_tcp_pass_bench PRIVATE regscope_sim)
add_custom_target(run_rtu_tcp_pass_bench COMMAND rtu_tcp_pass_bench DEPENDS rtu_tcp_pass_bench
  USES_TERMINAL)
