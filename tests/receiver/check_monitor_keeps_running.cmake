# Runs penlynx-monitor (MONITOR) with --seconds SECONDS on the replay file
# REPLAY and fails unless it is still running after WATCH seconds.
set(ENV{PENLYNX_RECEIVER} "replay:${REPLAY}")
execute_process(COMMAND ${MONITOR} --seconds ${SECONDS}
    OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE result TIMEOUT ${WATCH})
if(NOT result MATCHES "timeout")
    message(FATAL_ERROR "penlynx-monitor --seconds ${SECONDS} ended within ${WATCH} s "
        "(${result}):\n${output}\n${errors}")
endif()
message(STATUS "penlynx-monitor --seconds ${SECONDS} was still running after ${WATCH} s")
