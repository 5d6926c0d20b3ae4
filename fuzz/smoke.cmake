# The fuzz smoke run of the test suite: when clang with the libFuzzer runtime
# is installed, the fuzz targets are built in build/fuzz (a clang build of
# this same source with -DDEMO_FUZZ=ON) and CTest runs each for 10 seconds
# over its seeds (label "fuzz").
include(${CMAKE_CURRENT_LIST_DIR}/targets.cmake)

find_program(DEMO_FUZZ_CLANG clang)
find_program(DEMO_FUZZ_CLANGXX clang++)
if(NOT DEMO_FUZZ_CLANG OR NOT DEMO_FUZZ_CLANGXX)
  message(STATUS "Fuzz smoke tests: no clang, skipped")
  return()
endif()
# clang may be there without the fuzzer's runtime library: try it.
set(probe_dir ${CMAKE_BINARY_DIR}/fuzz_probe)
file(WRITE ${probe_dir}/probe.cpp
     "#include <cstddef>\n#include <cstdint>\nextern \"C\" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }\n")
execute_process(COMMAND ${DEMO_FUZZ_CLANGXX} -fsanitize=fuzzer,address,undefined ${probe_dir}/probe.cpp -o ${probe_dir}/probe
                RESULT_VARIABLE probe_result OUTPUT_QUIET ERROR_QUIET)
if(NOT probe_result EQUAL 0)
  message(STATUS "Fuzz smoke tests: clang cannot link libFuzzer, skipped")
  return()
endif()

include(ExternalProject)
set(DEMO_FUZZ_BUILD ${CMAKE_BINARY_DIR}/fuzz)
ExternalProject_Add(fuzz_build
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${DEMO_FUZZ_BUILD}
  # The same arguments as fuzz/run.sh gives, so that both share the build.
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
             -DDEMO_FUZZ=ON -DDEMO_BUILD_TESTS=OFF -DDEMO_BUILD_BENCH=OFF
             -DCMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER}
             -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER}
  BUILD_COMMAND ${CMAKE_COMMAND} --build ${DEMO_FUZZ_BUILD} --target fuzz_all
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON)

foreach(name ${DEMO_FUZZ_TARGETS})
  add_test(NAME fuzz_smoke_${name}
           COMMAND ${CMAKE_COMMAND} -DNAME=${name} -DBUILD=${DEMO_FUZZ_BUILD} -DSECONDS=10 -DFRESH=ON
                   -DCORPUS=${DEMO_FUZZ_BUILD}/smoke/${name}/corpus -DFINDINGS=${DEMO_FUZZ_BUILD}/smoke/${name}/findings
                   -P ${CMAKE_CURRENT_LIST_DIR}/run_target.cmake)
  set_tests_properties(fuzz_smoke_${name} PROPERTIES LABELS fuzz TIMEOUT 300)
endforeach()
