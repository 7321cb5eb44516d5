regscope_add_test(sim_unit_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/sim_slave_test.cpp)
