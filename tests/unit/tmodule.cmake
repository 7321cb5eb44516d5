# Test module tool: its tables, and the simulator's names for the module models.
regscope_add_test(tmodule_tables_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tmodule_tables_test.cpp
  LIBS regscope_tools regscope_headless)
regscope_add_test(tmodule_models_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/tmodule_models_test.cpp
  LIBS regscope_sim)
