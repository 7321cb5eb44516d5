# Switching tools in the desktop program, the Analyzer's 171 controls above
# all, with the folder setup of auto_read.cmake.
# Run: `make run_tool_switch_bench` (under its own X server).
if(REGSCOPE_GUI)
  add_executable(tool_switch_bench ${CMAKE_CURRENT_LIST_DIR}/tool_switch_bench.cpp)
  target_link_libraries(tool_switch_bench PRIVATE auto_read_bench_setup regscope_core regscope_wx
    regscope_posix regscope_core regscope_codec regscope_sim)
  add_custom_target(run_tool_switch_bench
    COMMAND xvfb-run -a -s "-screen 0 1024x768x24" $<TARGET_FILE:tool_switch_bench>
    DEPENDS tool_switch_bench USES_TERMINAL)
endif()
