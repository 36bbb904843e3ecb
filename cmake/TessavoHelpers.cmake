# Warnings are errors for our own targets; Qt and GoogleTest headers come in as system headers.
function(tessavo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror -Wno-gnu-zero-variadic-macro-arguments)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU")
    # g++ 12 also reports members left to their default initialisers in designated initialisers.
    target_compile_options(${target} PRIVATE -Wno-pedantic -Wno-missing-field-initializers)
  endif()
endfunction()

# tessavo_library(NAME SOURCES ... LIBS ...): a static library of one subsystem.
function(tessavo_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  tessavo_warnings(${name})
endfunction()

# Every test of the ThreadSanitizer flavour runs with the suppressions for Qt's own uninstrumented internals.
set(TESSAVO_TSAN_ENV "TSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/tsan.supp halt_on_error=1 second_deadlock_stack=1")

# tessavo_test(NAME SOURCES ... LIBS ... [GUI] [GTEST] [TIMEOUT s]): one test program, registered with CTest.
# GUI tests run on the offscreen platform; GTEST links gtest_main.
function(tessavo_test name)
  cmake_parse_arguments(ARG "GUI;GTEST" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} tessavo_testsupport)
  if(ARG_GTEST)
    target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main)
  endif()
  tessavo_warnings(${name})
  add_test(NAME ${name} COMMAND ${name})
  set(env "TESSAVO_BIN_DIR=${PROJECT_BINARY_DIR}/bin" "TESSAVO_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data")
  if(ARG_GUI)
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
  endif()
  if(TESSAVO_TSAN)
    list(APPEND env "${TESSAVO_TSAN_ENV}")
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT ${ARG_TIMEOUT})
endfunction()

# tessavo_fuzz(NAME SOURCES ... LIBS ...): a libFuzzer target (clang only). A short run of it is a test;
# longer runs: bin/<name> -max_total_time=60.
function(tessavo_fuzz name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  tessavo_warnings(${name})
  add_test(NAME ${name}_short COMMAND ${name} -max_total_time=10 -runs=200000)
  set_tests_properties(${name}_short PROPERTIES TIMEOUT 120 ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
endfunction()

# tessavo_bench(NAME SOURCES ... LIBS ...): a benchmark program; not run by ctest.
function(tessavo_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  tessavo_warnings(${name})
endfunction()

# tessavo_screen_tests(TEST [FUNCTION...]): runs a GUI test again on the screens every window must fit,
# 1366x768 at 100 % and 1920x1080 at 200 % (tests/data/screens), as TEST_<size>_x<scale>.
function(tessavo_screen_tests name)
  foreach(screen "1366x768;1" "1920x1080;2")
    list(GET screen 0 size)
    list(GET screen 1 scale)
    add_test(NAME ${name}_${size}_x${scale} COMMAND ${name} ${ARGN})
    set(env "QT_QPA_PLATFORM=offscreen:configfile=${PROJECT_SOURCE_DIR}/tests/data/screens/${size}.json"
      "QT_SCALE_FACTOR=${scale}" "TESSAVO_BIN_DIR=${PROJECT_BINARY_DIR}/bin" "TESSAVO_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data")
    if(TESSAVO_TSAN)
      list(APPEND env "${TESSAVO_TSAN_ENV}")
    endif()
    set_tests_properties(${name}_${size}_x${scale} PROPERTIES TIMEOUT 120 ENVIRONMENT "${env}")
  endforeach()
endfunction()
