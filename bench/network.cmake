# The engine over Modbus TCP on loopback beside a libmodbus master.
# Run: build/bench/network_bench (or `make run_network_bench`).
find_package(PkgConfig)
if(PkgConfig_FOUND)
  pkg_check_modules(LIBMODBUS IMPORTED_TARGET libmodbus)
endif()
find_package(Threads REQUIRED)
if(LIBMODBUS_FOUND)
  add_executable(network_bench ${CMAKE_CURRENT_LIST_DIR}/network_bench.cpp)
  target_link_libraries(network_bench PRIVATE regscope_modbus PkgConfig::LIBMODBUS Threads::Threads)
  add_custom_target(run_network_bench COMMAND network_bench DEPENDS network_bench USES_TERMINAL)
endif()
