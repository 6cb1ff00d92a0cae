# The client's windows.h-free logic: line states, host-code reactions, menu rules, dial wait.
telvane_native_test(client_logic_tests
  ${TELVANE_SOURCE_DIR}/client/LineState.cpp
  ${TELVANE_SOURCE_DIR}/tests/client/ClientLogicTest.cpp)
target_include_directories(client_logic_tests PRIVATE ${TELVANE_SOURCE_DIR}/client ${TELVANE_SOURCE_DIR}/common)
