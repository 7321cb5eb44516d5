# The bus scan against a libmodbus slave. After modbus.cmake (the files are
# read in name order), which finds libmodbus and makes the pty bridge.
if(LIBMODBUS_FOUND)
  regscope_add_test(scan_peer_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/scan_peer_test.cpp
                    LIBS regscope_core regscope_headless PkgConfig::LIBMODBUS regscope_pty_bridge)
endif()
