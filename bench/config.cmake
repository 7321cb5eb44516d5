# Reading one configuration key, beside the whole-file scan every read once
# made, and the keys of a file holding a 10 MB value.
# Run: build/bench/config_bench (or `make run_config_bench`).
add_executable(config_bench ${CMAKE_CURRENT_LIST_DIR}/config_bench.cpp)
regscope_link_headless(config_bench)
add_custom_target(run_config_bench COMMAND config_bench DEPENDS config_bench USES_TERMINAL)
