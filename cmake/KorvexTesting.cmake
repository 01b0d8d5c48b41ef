# GoogleTest from Debian's sources, built with the same compiler and flags as
# the code under test (mingw for the target, clang with sanitizers on the host).
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# Paths the tests see: on the target a Linux path is reached through Wine's
# Z: drive, so pass both spellings.
function(korvex_native_path out path)
  if(WIN32)
    string(REPLACE "/" "\\\\" windows_path "${path}")
    set(${out} "Z:${windows_path}" PARENT_SCOPE)
  else()
    set(${out} "${path}" PARENT_SCOPE)
  endif()
endfunction()

korvex_native_path(KORVEX_NATIVE_SOURCE_DIR ${CMAKE_SOURCE_DIR})
korvex_native_path(KORVEX_NATIVE_BINARY_DIR ${CMAKE_BINARY_DIR})

# korvex_add_test(NAME name SOURCES ... [LIBS ...] [TIMEOUT seconds] [LABELS ...])
# One ctest entry per executable: a Wine process start is not free.
function(korvex_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS})
  target_include_directories(${T_NAME} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${T_NAME} PRIVATE
    KORVEX_SOURCE_DIR="${KORVEX_NATIVE_SOURCE_DIR}"
    KORVEX_BINARY_DIR="${KORVEX_NATIVE_BINARY_DIR}")
  target_link_libraries(${T_NAME} PRIVATE gtest_main)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_LABELS)
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()

# korvex_add_fuzzer(NAME name SOURCES ... [LIBS ...] [CORPUS dir])
# Host only. Each fuzzer is a ctest entry that runs for KORVEX_FUZZ_SECONDS,
# growing a corpus in the build folder from the committed seeds.
set(KORVEX_FUZZ_SECONDS 30 CACHE STRING "How long each fuzz target runs under ctest")
function(korvex_add_fuzzer)
  cmake_parse_arguments(F "" "NAME;CORPUS" "SOURCES;LIBS" ${ARGN})
  if(WIN32)
    return()
  endif()
  add_executable(${F_NAME} ${F_SOURCES})
  target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
  target_include_directories(${F_NAME} PRIVATE ${CMAKE_SOURCE_DIR}/src)
  set(work_corpus ${CMAKE_BINARY_DIR}/fuzz/${F_NAME})
  file(MAKE_DIRECTORY ${work_corpus})
  add_test(NAME ${F_NAME}
    COMMAND ${F_NAME} -max_total_time=${KORVEX_FUZZ_SECONDS} -timeout=10 -rss_limit_mb=2048
            -artifact_prefix=${CMAKE_BINARY_DIR}/fuzz/ ${work_corpus} ${F_CORPUS})
  set_tests_properties(${F_NAME} PROPERTIES LABELS fuzz TIMEOUT 600)
endfunction()
