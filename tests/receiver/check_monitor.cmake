# Runs penlynx-monitor (MONITOR) on the replay file REPLAY for SECONDS and
# fails unless its output is exactly EXPECTED (lines joined by '|').
set(ENV{PENLYNX_RECEIVER} "replay:${REPLAY}")
execute_process(COMMAND ${MONITOR} --seconds ${SECONDS}
    OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE result TIMEOUT 30)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "penlynx-monitor exited with ${result}: ${errors}")
endif()
string(REPLACE "|" "\n" expected "${EXPECTED}\n")
if(NOT output STREQUAL expected)
    message(FATAL_ERROR "output:\n${output}\nexpected:\n${expected}\nstderr:\n${errors}")
endif()
message(STATUS "penlynx-monitor printed the replayed callbacks")
