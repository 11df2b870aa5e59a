# Fails unless groff renders the man page PAGE without a warning and its
# title line names NAME and VERSION.
execute_process(COMMAND ${GROFF} -man -ww -z -Tutf8 ${PAGE}
    ERROR_VARIABLE warnings RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT warnings STREQUAL "")
    message(FATAL_ERROR "${PAGE}: groff says (${result}):\n${warnings}")
endif()
file(STRINGS ${PAGE} title REGEX "^\\.TH ")
string(TOUPPER "${NAME}" upper)
if(NOT title MATCHES "^\\.TH ${upper} 1 \"[0-9]+-[0-9]+-[0-9]+\" \"[A-Za-z]+ ${VERSION}\"")
    message(FATAL_ERROR "${PAGE}: title line '${title}' lacks ${upper} or version ${VERSION}")
endif()
message(STATUS "${PAGE} renders cleanly")
