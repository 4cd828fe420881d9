# Helpers shared by every folder of the suite.

# tarnwick_test(NAME SOURCES a_test.cpp ... LIBS lib ...)
# One GoogleTest executable whose cases CTest lists one by one.
function(tarnwick_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  if(TARNWICK_FUZZ)
    return()
  endif()
  if(NOT TARGET tarnwick_test_main)
    # Sets QT_QPA_PLATFORM=offscreen, TARNWICK_BIN, TARNWICK_LIB and
    # TARNWICK_SOURCE for every test program, however it is started.
    add_library(tarnwick_test_main STATIC ${CMAKE_SOURCE_DIR}/cmake/test_main.cpp)
    target_compile_definitions(tarnwick_test_main PRIVATE
      TARNWICK_BUILD_DIR="${CMAKE_BINARY_DIR}" TARNWICK_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    target_link_libraries(tarnwick_test_main PUBLIC GTest::gtest GTest::gmock)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} tarnwick_test_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
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

# tarnwick_contract_view(VAR): a folder that holds links to base/ and
# contract/ only, its path in VAR. A program given it as its only include
# folder compiles the contract's headers alone: a header that reaches above
# base/, or leans on another header being included first, fails its build.
function(tarnwick_contract_view var)
  set(view ${CMAKE_BINARY_DIR}/contract_view)
  file(MAKE_DIRECTORY ${view})
  foreach(folder base contract)
    if(NOT EXISTS ${view}/${folder})
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${view}/${folder} SYMBOLIC)
    endif()
  endforeach()
  set(${var} ${view} PARENT_SCOPE)
endfunction()
