regscope_add_test(modbus_codec_tests SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/modbus_codec_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/requests_compose_test.cpp
  LIBS regscope_codec)
# The engine reports failures through the shell's status line.
regscope_add_test(modbus_unit_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/modbus_engine_test.cpp
  LIBS regscope_app regscope_headless)

if(NOT WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/../fuzz/modbus_fuzz.cmake)
endif()
