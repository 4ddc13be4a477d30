# GoogleTest for both trees: the system's package natively, built from Debian's
# googletest sources when cross-compiling.
enable_testing()

# Test code and test tools are built unoptimised: half of a build is theirs,
# and -O0 compiles them in about half the time. The product code they link
# keeps the build type's flags, so the tests still exercise what ships.
function(kavuno_test_code)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    foreach(target ${ARGN})
      target_compile_options(${target} PRIVATE -O0)
    endforeach()
  endif()
endfunction()
# The native tree beside this one: its kavuno-release signs the lists that the
# Windows tests and the end-to-end tests check.
set(KAVUNO_NATIVE_DIR "${PROJECT_BINARY_DIR}/../native" CACHE PATH "The native build tree beside this one")
if(WIN32)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  kavuno_test_code(gtest gtest_main gmock gmock_main)
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

# One precompiled header for every test of the tree: GoogleTest (and
# windows.h) take most of the time of compiling a test file. A test whose
# flags differ from it still builds, parsing the headers itself.
file(WRITE ${PROJECT_BINARY_DIR}/generated/kavuno_test_pch.cpp "// The test trees' precompiled header.\n")
add_library(kavuno_test_pch OBJECT ${PROJECT_BINARY_DIR}/generated/kavuno_test_pch.cpp)
target_link_libraries(kavuno_test_pch PRIVATE GTest::gtest)
if(WIN32)
  target_precompile_headers(kavuno_test_pch PRIVATE <windows.h> <gtest/gtest.h>)
else()
  target_precompile_headers(kavuno_test_pch PRIVATE <gtest/gtest.h>)
endif()
kavuno_test_code(kavuno_test_pch)

# kavuno_add_test(NAME name SOURCES ... LIBS ... [TIMEOUT s])
# Natively each GoogleTest case becomes a CTest test; under Wine the whole
# binary is one test, run through the harness (one prefix and display per run).
function(kavuno_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest_main)
  kavuno_test_code(${T_NAME})
  target_precompile_headers(${T_NAME} REUSE_FROM kavuno_test_pch)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  if(WIN32)
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS wine)
  else()
    gtest_discover_tests(${T_NAME} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS native)
  endif()
endfunction()
