# Every *.scn file in this folder is one test run by regscope-script.
file(GLOB scenario_files CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.scn)
foreach(f ${scenario_files})
  get_filename_component(n ${f} NAME_WE)
  add_test(NAME scenario.${n} COMMAND regscope-script ${f})
  set_tests_properties(scenario.${n} PROPERTIES TIMEOUT 120)
endforeach()

# The runner must notice failures.
foreach(n failing unexpected_exit dialog_never_opened)
  add_test(NAME scenario.runner.${n} COMMAND regscope-script ${CMAKE_CURRENT_LIST_DIR}/runner/${n}.scn)
  set_tests_properties(scenario.runner.${n} PROPERTIES WILL_FAIL TRUE TIMEOUT 60)
endforeach()
