# Runs fuzz target NAME of the fuzz build BUILD for SECONDS over its seeds.
# New corpus entries go to CORPUS (emptied first when FRESH is set), findings
# (crash-, leak-, timeout-, oom- files) to FINDINGS, libFuzzer's output to
# FINDINGS/log. Prints the executions, the coverage and the findings, and
# fails when the fuzzer found a fault.
include(${CMAKE_CURRENT_LIST_DIR}/targets.cmake)
if(FRESH)
  file(REMOVE_RECURSE ${CORPUS})
endif()
file(REMOVE_RECURSE ${FINDINGS})
file(MAKE_DIRECTORY ${CORPUS} ${FINDINGS})
execute_process(
  COMMAND ${BUILD}/fuzz_${NAME} -max_total_time=${SECONDS} -max_len=${DEMO_FUZZ_MAX_LEN_${NAME}} -timeout=10
          -rss_limit_mb=2048 -dict=${CMAKE_CURRENT_LIST_DIR}/dict/${NAME}.dict -artifact_prefix=${FINDINGS}/
          -print_final_stats=1 ${DEMO_FUZZ_OPTIONS_${NAME}} ${CORPUS} ${BUILD}/seeds/${NAME}
  RESULT_VARIABLE result
  OUTPUT_FILE ${FINDINGS}/log
  ERROR_FILE ${FINDINGS}/log)

# Only the lines with figures: others hold brackets that would split badly.
file(STRINGS ${FINDINGS}/log log REGEX "stat::number_of_executed_units|cov: [0-9]+ ft:")
set(executions "?")
set(coverage "?")
foreach(line IN LISTS log)
  if(line MATCHES "stat::number_of_executed_units: *([0-9]+)")
    set(executions ${CMAKE_MATCH_1})
  elseif(line MATCHES "cov: ([0-9]+) ft: ([0-9]+) corp: ([0-9]+)")
    set(coverage "${CMAKE_MATCH_1} edges, ${CMAKE_MATCH_2} features, corpus ${CMAKE_MATCH_3}")
  endif()
endforeach()
file(GLOB findings ${FINDINGS}/crash-* ${FINDINGS}/leak-* ${FINDINGS}/timeout-* ${FINDINGS}/oom-* ${FINDINGS}/slow-unit-*)
list(LENGTH findings finding_count)
message("fuzz_${NAME}: ${executions} executions in ${SECONDS} s; coverage ${coverage}; findings ${finding_count}")
foreach(f IN LISTS findings)
  message("  ${f}")
endforeach()
if(NOT result EQUAL 0)
  file(READ ${FINDINGS}/log text)
  string(LENGTH "${text}" length)
  if(length GREATER 8000)
    math(EXPR from "${length} - 8000")
    string(SUBSTRING "${text}" ${from} -1 text)
  endif()
  message(FATAL_ERROR "${text}\nfuzz_${NAME} found a fault (exit status ${result}); see ${FINDINGS}")
endif()
