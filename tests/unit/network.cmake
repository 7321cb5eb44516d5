# Network lines: the engine over TCP against a scripted peer on 127.0.0.1.
regscope_add_test(network_unit_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/network_line_test.cpp
  LIBS regscope_modbus)
