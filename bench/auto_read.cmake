# Auto Read in the desktop program beside the headless one, in one run.
# Run: `make run_tick_bench` (under xvfb-run; its ElapsedTime run lasts
# 60 s), or xvfb-run -a build/bench/tick_bench_desktop SECONDS.
add_library(auto_read_bench_setup STATIC ${CMAKE_CURRENT_LIST_DIR}/auto_read_setup.cpp)
target_link_libraries(auto_read_bench_setup PUBLIC regscope_core regscope_sim)

add_executable(tick_bench_headless ${CMAKE_CURRENT_LIST_DIR}/tick_bench_headless.cpp)
target_link_libraries(tick_bench_headless PRIVATE auto_read_bench_setup)
regscope_link_headless(tick_bench_headless)

if(REGSCOPE_GUI)
  add_executable(tick_bench_desktop ${CMAKE_CURRENT_LIST_DIR}/tick_bench_desktop.cpp)
  target_link_libraries(tick_bench_desktop PRIVATE auto_read_bench_setup regscope_core regscope_wx
    regscope_posix regscope_core regscope_codec regscope_sim)
  target_compile_definitions(tick_bench_desktop PRIVATE
    TICK_BENCH_HEADLESS="$<TARGET_FILE:tick_bench_headless>")
  add_dependencies(tick_bench_desktop tick_bench_headless)
  add_custom_target(run_tick_bench
    COMMAND xvfb-run -a -s "-screen 0 1024x768x24" $<TARGET_FILE:tick_bench_desktop> 60
    DEPENDS tick_bench_desktop USES_TERMINAL)
endif()
