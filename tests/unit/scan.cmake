# Scan bus: the plan of its tries (the runs are scenarios).
regscope_add_test(scan_plan_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/scan_plan_test.cpp
  LIBS regscope_core regscope_headless)
