# Test harness: GoogleTest cross-built for Windows, every test run under Wine in one
# throw-away prefix per ctest run (the "wine" fixture), plus the native build of the
# windows.h-free logic with sanitizers.
enable_testing()

set(TELVANE_SESSION ${CMAKE_BINARY_DIR}/wine-session)
set(TELVANE_WINE_RUN ${CMAKE_SOURCE_DIR}/tests/harness/wine-run.sh)

set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# telvane_posix_threads(target...): compile and link with the posix thread model. Only test
# programs that need std::mutex (GoogleTest) may; the shipped binaries keep the win32 model.
function(telvane_posix_threads)
  foreach(target ${ARGN})
    set_target_properties(${target} PROPERTIES
      C_COMPILER_LAUNCHER ${CMAKE_SOURCE_DIR}/cmake/posix-threads.sh
      CXX_COMPILER_LAUNCHER ${CMAKE_SOURCE_DIR}/cmake/posix-threads.sh
      RULE_LAUNCH_LINK ${CMAKE_SOURCE_DIR}/cmake/posix-threads.sh)
  endforeach()
endfunction()
telvane_posix_threads(gtest gtest_main)

add_test(NAME wine-session-start
         COMMAND ${CMAKE_SOURCE_DIR}/tests/harness/wine-session.sh start ${TELVANE_SESSION} ${CMAKE_SYSTEM_PROCESSOR})
set_tests_properties(wine-session-start PROPERTIES FIXTURES_SETUP wine TIMEOUT 600)
add_test(NAME wine-session-stop
         COMMAND ${CMAKE_SOURCE_DIR}/tests/harness/wine-session.sh stop ${TELVANE_SESSION})
set_tests_properties(wine-session-stop PROPERTIES FIXTURES_CLEANUP wine)

# telvane_wine_test(NAME name COMMAND ... [LABELS ...] [TIMEOUT s]): a test that needs Wine.
function(telvane_wine_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "COMMAND;LABELS;ENVIRONMENT" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_test(NAME ${T_NAME} COMMAND ${T_COMMAND})
  set_tests_properties(${T_NAME} PROPERTIES
    FIXTURES_REQUIRED wine
    TIMEOUT ${T_TIMEOUT}
    LABELS "wine;${T_LABELS}"
    ENVIRONMENT "TELVANE_SESSION=${TELVANE_SESSION};TELVANE_WINE_RUN=${TELVANE_WINE_RUN};TELVANE_BIN=${CMAKE_BINARY_DIR}/bin;${T_ENVIRONMENT}")
endfunction()

# telvane_gtest(name sources... LIBS libs...): a GoogleTest program run under Wine.
function(telvane_gtest name)
  cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
  add_executable(${name} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest_main)
  telvane_posix_threads(${name})
  telvane_wine_test(NAME ${name} COMMAND ${name} --gtest_brief=0)
endfunction()

# Python end-to-end tests drive the real programs under Wine from outside.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
function(telvane_python_test name script)
  cmake_parse_arguments(T "" "TIMEOUT" "LABELS;ENVIRONMENT" ${ARGN})
  telvane_wine_test(NAME ${name} COMMAND ${Python3_EXECUTABLE} -u ${script}
                    TIMEOUT ${T_TIMEOUT} LABELS ${T_LABELS} ENVIRONMENT ${T_ENVIRONMENT})
endfunction()

# Programs and DLLs go to one folder, so a program finds Tools.dll beside it.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# The windows.h-free logic, built with the machine's own compiler, sanitizers on.
option(TELVANE_NATIVE "Build and test the windows.h-free logic natively" ON)
if(TELVANE_NATIVE)
  include(ExternalProject)
  ExternalProject_Add(native
    SOURCE_DIR ${CMAKE_SOURCE_DIR}/native
    BINARY_DIR ${CMAKE_BINARY_DIR}/native
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++
               -DTELVANE_SOURCE_DIR=${CMAKE_SOURCE_DIR}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON)
  add_test(NAME native COMMAND ${CMAKE_CTEST_COMMAND} --output-on-failure
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/native)
  set_tests_properties(native PROPERTIES LABELS native TIMEOUT 600)
endif()
