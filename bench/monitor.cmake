# Cost of recording transactions for the communication monitor.
# Run: build/bench/capture_bench (or `make run_capture_bench`).
add_executable(capture_bench ${CMAKE_CURRENT_LIST_DIR}/capture_bench.cpp)
target_link_libraries(capture_bench PRIVATE regscope_modbus regscope_sim)
add_custom_target(run_capture_bench COMMAND capture_bench DEPENDS capture_bench USES_TERMINAL)

# The monitor window under traffic, on the desktop backend.
# Run: `make run_monitor_window_bench` (under its own X server).
if(REGSCOPE_GUI)
  add_executable(monitor_window_bench ${CMAKE_CURRENT_LIST_DIR}/monitor_window_bench.cpp)
  target_link_libraries(monitor_window_bench PRIVATE regscope_core regscope_wx regscope_posix
    regscope_core regscope_codec regscope_sim)
  add_custom_target(run_monitor_window_bench
    COMMAND xvfb-run -a -s "-screen 0 1024x768x24" $<TARGET_FILE:monitor_window_bench>
    DEPENDS monitor_window_bench USES_TERMINAL)
endif()
