# Function requests: the window-free parts (request data, reply checks, listings).
regscope_add_test(requests_unit_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/requests_compose_test.cpp)
