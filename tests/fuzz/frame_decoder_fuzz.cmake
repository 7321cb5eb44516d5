# The frame decoder fuzz target, built like the reply fuzz target and seeded
# with the same corpus: those inputs describe a request and the reads of its
# reply, which is what this target decodes.
find_program(REGSCOPE_CLANGXX NAMES clang++-14 clang++)
if(REGSCOPE_CLANGXX)
  set(decoder_fuzz_bin ${CMAKE_BINARY_DIR}/fuzz/frame_decoder_fuzz)
  set(decoder_fuzz_sources
    ${PROJECT_SOURCE_DIR}/tests/fuzz/frame_decoder_fuzz.cpp
    ${PROJECT_SOURCE_DIR}/src/modbus/frame_decoder.cpp
    ${PROJECT_SOURCE_DIR}/src/modbus/frame_lines.cpp
    ${PROJECT_SOURCE_DIR}/src/modbus/mbap.cpp
    ${PROJECT_SOURCE_DIR}/src/modbus/reply.cpp
    ${PROJECT_SOURCE_DIR}/src/modbus/requests_compose.cpp
    ${PROJECT_SOURCE_DIR}/src/strings/lines.cpp
    ${PROJECT_SOURCE_DIR}/src/modbus/line_statistics.cpp
    ${PROJECT_SOURCE_DIR}/src/modbus/protocol.cpp
    ${PROJECT_SOURCE_DIR}/src/modbus/codec.cpp
    ${PROJECT_SOURCE_DIR}/src/strings/number_parse.cpp)
  file(GLOB decoder_fuzz_headers ${PROJECT_SOURCE_DIR}/src/modbus/*.h)
  add_custom_command(OUTPUT ${decoder_fuzz_bin}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/fuzz/decoder_found
    COMMAND ${REGSCOPE_CLANGXX} -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined
            -I${PROJECT_SOURCE_DIR}/src -I${PROJECT_SOURCE_DIR} ${decoder_fuzz_sources}
            -o ${decoder_fuzz_bin}
    DEPENDS ${decoder_fuzz_sources} ${decoder_fuzz_headers}
    COMMENT "Building the frame decoder fuzz target with ${REGSCOPE_CLANGXX}")
  add_custom_target(frame_decoder_fuzz ALL DEPENDS ${decoder_fuzz_bin})
  add_test(NAME frame_decoder_fuzz
    COMMAND ${decoder_fuzz_bin} -max_total_time=5 -seed=1 ${CMAKE_BINARY_DIR}/fuzz/decoder_found
            ${PROJECT_SOURCE_DIR}/tests/fuzz/corpus/reply)
  set_tests_properties(frame_decoder_fuzz PROPERTIES TIMEOUT 60)
endif()
