# Round trips through the simulator's pty, unpaced and paced.
add_executable(bench_sim_round_trip ${CMAKE_CURRENT_LIST_DIR}/sim_round_trip.cpp
  ${PROJECT_SOURCE_DIR}/tests/integration/sim_raw_master.cpp)
target_include_directories(bench_sim_round_trip PRIVATE ${PROJECT_SOURCE_DIR}/tests/integration)
target_link_libraries(bench_sim_round_trip PRIVATE regscope_sim)
