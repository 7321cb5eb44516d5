# The fuzz targets, built with clang's libFuzzer straight from the few
# sources each needs, so that the main build may use any compiler.
# Registered only where clang is installed; the ctest runs are short smoke
# runs seeded with the one corpus: its inputs describe a request and the
# reads of its reply. New inputs go to the build folder; the committed seeds
# stay as they are.
find_program(REGSCOPE_CLANGXX NAMES clang++-14 clang++)
function(regscope_fuzz_target name)
  set(bin ${CMAKE_BINARY_DIR}/fuzz/${name})
  set(sources ${PROJECT_SOURCE_DIR}/tests/fuzz/${name}.cpp)
  foreach(s ${ARGN})
    list(APPEND sources ${PROJECT_SOURCE_DIR}/src/${s}.cpp)
  endforeach()
  file(GLOB headers ${PROJECT_SOURCE_DIR}/src/modbus/*.h)
  add_custom_command(OUTPUT ${bin}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/fuzz/${name}_found
    COMMAND ${REGSCOPE_CLANGXX} -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined
            -I${PROJECT_SOURCE_DIR}/src -I${PROJECT_SOURCE_DIR} ${sources} -o ${bin}
    DEPENDS ${sources} ${headers}
    COMMENT "Building the ${name} target with ${REGSCOPE_CLANGXX}")
  add_custom_target(${name} ALL DEPENDS ${bin})
  add_test(NAME ${name}
    COMMAND ${bin} -max_total_time=5 -seed=1 ${CMAKE_BINARY_DIR}/fuzz/${name}_found
            ${PROJECT_SOURCE_DIR}/tests/fuzz/corpus/reply)
  set_tests_properties(${name} PROPERTIES TIMEOUT 60)
endfunction()
if(REGSCOPE_CLANGXX)
  set(common modbus/reply modbus/mbap modbus/protocol modbus/codec modbus/requests_compose
      strings/lines strings/number_parse)
  regscope_fuzz_target(modbus_reply_fuzz ${common})
  regscope_fuzz_target(frame_decoder_fuzz ${common} modbus/frame_decoder modbus/frame_lines
                       modbus/line_statistics)
endif()
