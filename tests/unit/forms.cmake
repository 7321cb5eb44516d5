# Form toolkit: the window-free rules, then the toolkit on the headless window.
regscope_add_test(forms_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/forms_rules_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/forms_window_test.cpp ${CMAKE_CURRENT_LIST_DIR}/forms_builders_test.cpp
  LIBS regscope_app regscope_headless)
