# One Analyzer acquisition pass over 32 channels on the paced simulator.
# Run: build/bench/analyzer_pass_bench (or `make run_analyzer_pass_bench`).
add_executable(analyzer_pass_bench ${CMAKE_CURRENT_LIST_DIR}/analyzer_pass.cpp
  ${PROJECT_SOURCE_DIR}/tests/integration/sim_raw_master.cpp)
target_include_directories(analyzer_pass_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests/integration)
regscope_link_headless(analyzer_pass_bench)
target_link_libraries(analyzer_pass_bench PRIVATE regscope_sim)
add_custom_target(run_analyzer_pass_bench COMMAND analyzer_pass_bench DEPENDS analyzer_pass_bench
  USES_TERMINAL)
