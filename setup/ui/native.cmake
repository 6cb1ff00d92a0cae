# Native build of the setup wizard's windows.h-free arithmetic and rules, with their tests.
set(SETUP_UI_DIR ${TELVANE_SOURCE_DIR}/setup/ui)
telvane_native_test(native_setup_ui_tests
  ${SETUP_UI_DIR}/BackgroundLayout.cpp
  ${SETUP_UI_DIR}/WizardFlow.cpp
  ${TELVANE_SOURCE_DIR}/tests/setup/wizard/WizardLogicTest.cpp)
target_include_directories(native_setup_ui_tests PRIVATE ${SETUP_UI_DIR} ${TELVANE_SOURCE_DIR}/setup/core)
