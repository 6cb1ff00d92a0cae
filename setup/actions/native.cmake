# Native build of the record syntax the action handlers read, with its tests.
telvane_native_test(native_setup_records_tests
  ${TELVANE_SOURCE_DIR}/setup/core/RecordFields.cpp
  ${TELVANE_SOURCE_DIR}/setup/core/VariableTable.cpp
  ${TELVANE_SOURCE_DIR}/tests/setup/actions/RecordFieldsTest.cpp)
target_include_directories(native_setup_records_tests PRIVATE ${TELVANE_SOURCE_DIR}/setup/core)
