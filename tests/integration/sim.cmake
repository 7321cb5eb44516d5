regscope_add_test(sim_integration_tests SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/sim_raw_master.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sim_bus_test.cpp
  LIBS regscope_sim regscope_modbus)
target_include_directories(sim_integration_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR})
