# Runs one fuzz target for a fixed time on a fresh copy of its seed corpus,
# so what it learns stays in the build tree and the repository's seeds stay
# as they are. A finding (crash, sanitizer report, broken property, leak,
# timeout, memory over the limit) fails the test; its input is kept in
# FINDINGS, which a later run does not clear.
#   cmake -D FUZZER=<exe> -D SEEDS=<dir> -D WORK=<dir> -D FINDINGS=<dir> -D SECONDS=<n> -P RunFuzzer.cmake
foreach(var FUZZER SEEDS WORK FINDINGS SECONDS)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "RunFuzzer.cmake: ${var} is not set")
  endif()
endforeach()
if(NOT IS_DIRECTORY "${SEEDS}")
  message(FATAL_ERROR "RunFuzzer.cmake: no seed corpus at ${SEEDS}")
endif()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}" "${FINDINGS}")
file(COPY "${SEEDS}/" DESTINATION "${WORK}")

execute_process(
  COMMAND "${FUZZER}" -max_total_time=${SECONDS} -timeout=10 -rss_limit_mb=1024
          -print_final_stats=1 "-artifact_prefix=${FINDINGS}/" "${WORK}"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} found a fault (exit ${result}); the input that shows it is in ${FINDINGS}")
endif()
