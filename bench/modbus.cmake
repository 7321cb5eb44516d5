# Engine throughput and CPU cost against the simulator, beside libmodbus.
# Run: build/bench/modbus_bench (or `make run_modbus_bench`).
find_package(PkgConfig)
if(PkgConfig_FOUND)
  pkg_check_modules(LIBMODBUS IMPORTED_TARGET libmodbus)
endif()
if(LIBMODBUS_FOUND)
  add_executable(modbus_bench ${CMAKE_CURRENT_LIST_DIR}/modbus_bench.cpp)
  regscope_link_headless(modbus_bench)
  target_link_libraries(modbus_bench PRIVATE regscope_sim PkgConfig::LIBMODBUS)
  add_custom_target(run_modbus_bench COMMAND modbus_bench DEPENDS modbus_bench USES_TERMINAL)
endif()
