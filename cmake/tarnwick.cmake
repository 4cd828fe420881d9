# Helpers shared by every folder of the suite.

# tarnwick_test(NAME SOURCES a_test.cpp ... LIBS lib ...)
# One GoogleTest executable whose cases CTest lists one by one.
function(tarnwick_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  if(TARNWICK_FUZZ)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TARNWICK_BIN=${CMAKE_BINARY_DIR}/bin;TARNWICK_LIB=${CMAKE_BINARY_DIR}/lib;TARNWICK_SOURCE=${CMAKE_SOURCE_DIR}")
endfunction()

# tarnwick_bench(NAME SOURCES ... LIBS ...): a Google Benchmark program that
# `./run bench` finds by its bench_ prefix.
function(tarnwick_bench name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  if(TARNWICK_FUZZ OR NOT benchmark_FOUND)
    return()
  endif()
  add_executable(bench_${name} ${B_SOURCES})
  target_link_libraries(bench_${name} PRIVATE ${B_LIBS} benchmark::benchmark)
endfunction()

# tarnwick_fuzz(NAME SOURCES ... LIBS ...): a libFuzzer target that `./run fuzz`
# finds by its fuzz_ prefix. Built only in the fuzz preset (clang).
function(tarnwick_fuzz name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT TARNWICK_FUZZ)
    return()
  endif()
  add_executable(fuzz_${name} ${F_SOURCES})
  target_link_libraries(fuzz_${name} PRIVATE ${F_LIBS})
  target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
endfunction()
