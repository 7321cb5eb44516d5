
# The peers come from Debian (libmodbus-dev, mbpoll); without them the
# test is left out rather than failing to build.
find_package(PkgConfig)
if(PkgConfig_FOUND)
  pkg_check_modules(LIBMODBUS IMPORTED_TARGET libmodbus)
endif()
if(LIBMODBUS_FOUND)
  add_library(regscope_pty_bridge STATIC ${CMAKE_CURRENT_LIST_DIR}/modbus_pty_bridge.cpp)
  target_include_directories(regscope_pty_bridge PUBLIC ${CMAKE_CURRENT_LIST_DIR})
  find_package(Threads REQUIRED)
  target_link_libraries(regscope_pty_bridge PUBLIC Threads::Threads)
  regscope_add_test(network_peer_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/network_peer_test.cpp
                    LIBS regscope_modbus regscope_sim PkgConfig::LIBMODBUS)
endif()
# The same kind of slave as a program of its own, for the Windows build's
# network line under Wine.
if(LIBMODBUS_FOUND AND NOT WIN32)
  add_executable(libmodbus_tcp_peer ${CMAKE_CURRENT_LIST_DIR}/libmodbus_tcp_peer.cpp)
  target_link_libraries(libmodbus_tcp_peer PRIVATE PkgConfig::LIBMODBUS)
endif()
