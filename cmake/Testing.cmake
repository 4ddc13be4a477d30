# GoogleTest for both trees: the system's package natively, built from Debian's
# googletest sources when cross-compiling.
enable_testing()
# The native tree beside this one: its kavuno-release signs the lists that the
# Windows tests and the end-to-end tests check.
set(KAVUNO_NATIVE_DIR "${PROJECT_BINARY_DIR}/../native" CACHE PATH "The native build tree beside this one")
if(WIN32)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

# kavuno_add_test(NAME name SOURCES ... LIBS ... [TIMEOUT s])
# Natively each GoogleTest case becomes a CTest test; under Wine the whole
# binary is one test, run through the harness (one prefix and display per run).
function(kavuno_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest_main)
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
