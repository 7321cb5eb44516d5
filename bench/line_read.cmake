# Paced reads on COM1, the Linux half of bench/wine_line.sh (the Windows half
# is built by the top CMakeLists.txt). Run: bench/wine_line.sh.
add_executable(line_read_bench ${CMAKE_CURRENT_LIST_DIR}/line_read.cpp)
target_link_libraries(line_read_bench PRIVATE regscope_modbus)
