# Native build of the setup engine's text logic and settings rules, with its tests and fuzz targets.
set(SETUP_CORE_DIR ${TELVANE_SOURCE_DIR}/setup/core)
set(SETUP_TESTS_DIR ${TELVANE_SOURCE_DIR}/tests/setup)
set(SETUP_TEXT_SOURCES
  ${SETUP_CORE_DIR}/SetupScript.cpp
  ${SETUP_CORE_DIR}/VariableTable.cpp
  ${SETUP_CORE_DIR}/LanguageText.cpp
  ${SETUP_CORE_DIR}/FontSpec.cpp)

telvane_native_test(native_setup_core_tests
  ${SETUP_TEXT_SOURCES}
  ${SETUP_CORE_DIR}/SetupContext.cpp
  ${SETUP_CORE_DIR}/InstallLog.cpp
  ${SETUP_CORE_DIR}/ErrorLog.cpp
  ${SETUP_CORE_DIR}/RecordFields.cpp
  ${SETUP_CORE_DIR}/FileErrorText.cpp
  ${SETUP_TESTS_DIR}/SetupScriptTest.cpp
  ${SETUP_TESTS_DIR}/VariableTableTest.cpp
  ${SETUP_TESTS_DIR}/TextRulesTest.cpp
  ${SETUP_TESTS_DIR}/SetupContextTest.cpp
  ${SETUP_TESTS_DIR}/BadInputTest.cpp
  ${SETUP_TESTS_DIR}/InstallLogTextTest.cpp)
target_include_directories(native_setup_core_tests PRIVATE ${SETUP_CORE_DIR} ${SETUP_TESTS_DIR})

foreach(pair setup_script:FuzzSetupScript expand_variables:FuzzExpandVariables
             text_numbers:FuzzTextNumbers language_list:FuzzLanguageList font_spec:FuzzFontSpec)
  string(REPLACE ":" ";" pair ${pair})
  list(GET pair 0 name)
  list(GET pair 1 source)
  telvane_fuzz_target(fuzz_${name}
    SOURCES ${SETUP_TESTS_DIR}/fuzz/${source}.cpp ${SETUP_TEXT_SOURCES}
    INCLUDES ${SETUP_CORE_DIR})
endforeach()
telvane_fuzz_target(fuzz_record_fields
  SOURCES ${SETUP_TESTS_DIR}/fuzz/FuzzRecordFields.cpp ${SETUP_CORE_DIR}/RecordFields.cpp ${SETUP_CORE_DIR}/VariableTable.cpp
  INCLUDES ${SETUP_CORE_DIR})
telvane_fuzz_target(fuzz_install_log
  SOURCES ${SETUP_TESTS_DIR}/fuzz/FuzzInstallLog.cpp ${SETUP_CORE_DIR}/InstallLog.cpp
  INCLUDES ${SETUP_CORE_DIR})
