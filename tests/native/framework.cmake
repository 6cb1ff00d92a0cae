# The framework's string class and the revision-keyword cut have no Windows dependency.
telvane_native_test(native_string_tests
  ${TELVANE_SOURCE_DIR}/tests/unit/StringTest.cpp
  ${TELVANE_SOURCE_DIR}/framework/Str.cpp)
target_include_directories(native_string_tests PRIVATE ${TELVANE_SOURCE_DIR}/framework ${TELVANE_SOURCE_DIR}/common)
