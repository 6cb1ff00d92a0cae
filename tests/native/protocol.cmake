# Native tests of the protocol framing and the address reading of Tools.
telvane_native_test(native_protocol_tests
  ${TELVANE_SOURCE_DIR}/tests/native/ControlUnitTest.cpp
  ${TELVANE_SOURCE_DIR}/tests/native/DottedAddressTest.cpp
  ${TELVANE_SOURCE_DIR}/tools/DottedAddress.cpp)
target_include_directories(native_protocol_tests PRIVATE
  ${TELVANE_SOURCE_DIR}/common ${TELVANE_SOURCE_DIR}/tools)

telvane_fuzz_target(fuzz_control_units
  SOURCES ${TELVANE_SOURCE_DIR}/tests/native/FuzzControlUnits.cpp
  INCLUDES ${TELVANE_SOURCE_DIR}/common)
