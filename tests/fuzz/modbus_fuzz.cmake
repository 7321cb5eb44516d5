# The reply fuzz target, built with clang's libFuzzer straight from the few
# sources it needs, so that the main build may use any compiler. Registered
# only where clang is installed; the ctest run is a short smoke run.
find_program(REGSCOPE_CLANGXX NAMES clang++-14 clang++)
if(REGSCOPE_CLANGXX)
  set(fuzz_bin ${CMAKE_BINARY_DIR}/fuzz/modbus_reply_fuzz)
  set(fuzz_sources
    ${PROJECT_SOURCE_DIR}/tests/fuzz/modbus_reply_fuzz.cpp
    ${PROJECT_SOURCE_DIR}/src/modbus/reply.cpp
    ${PROJECT_SOURCE_DIR}/src/modbus/mbap.cpp
    ${PROJECT_SOURCE_DIR}/src/modbus/protocol.cpp
    ${PROJECT_SOURCE_DIR}/src/modbus/codec.cpp
    ${PROJECT_SOURCE_DIR}/src/modbus/requests_compose.cpp
    ${PROJECT_SOURCE_DIR}/src/strings/lines.cpp
    ${PROJECT_SOURCE_DIR}/src/strings/number_parse.cpp)
  add_custom_command(OUTPUT ${fuzz_bin}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/fuzz/found
    COMMAND ${REGSCOPE_CLANGXX} -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined
            -I${PROJECT_SOURCE_DIR}/src -I${PROJECT_SOURCE_DIR} ${fuzz_sources} -o ${fuzz_bin}
    DEPENDS ${fuzz_sources} ${PROJECT_SOURCE_DIR}/src/modbus/reply.h
            ${PROJECT_SOURCE_DIR}/src/modbus/codec.h
    COMMENT "Building the reply fuzz target with ${REGSCOPE_CLANGXX}")
  add_custom_target(modbus_reply_fuzz ALL DEPENDS ${fuzz_bin})
  # New inputs go to the build folder; the committed seeds stay as they are.
  add_test(NAME modbus_reply_fuzz
    COMMAND ${fuzz_bin} -max_total_time=5 -seed=1 ${CMAKE_BINARY_DIR}/fuzz/found
            ${PROJECT_SOURCE_DIR}/tests/fuzz/corpus/reply)
  set_tests_properties(modbus_reply_fuzz PROPERTIES TIMEOUT 60)
endif()
