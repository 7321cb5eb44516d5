regscope_add_test(sim_unit_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/sim_slave_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sim_demo_waves_test.cpp LIBS regscope_sim)
