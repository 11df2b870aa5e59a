# Checks the resources of Lumora.exe (FILE), read back with mingw's windres
# (WINDRES): the program's icon and the version information of VERSION
# (project(VERSION ...)), as app/resources/windows/Lumora.rc.in gives them.
execute_process(COMMAND ${WINDRES} -i ${FILE} -O rc
    OUTPUT_VARIABLE rc ERROR_VARIABLE errors RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "windres cannot read ${FILE}: ${errors}")
endif()
string(REPLACE "." "," numbers "${VERSION}")
foreach(expected
        "FILEVERSION ${numbers},0"
        "PRODUCTVERSION ${numbers},0"
        "VALUE \"FileVersion\", \"${VERSION}\""
        "VALUE \"ProductVersion\", \"${VERSION}\""
        "VALUE \"OriginalFilename\", \"Lumora.exe\""
        "ICON")
    string(FIND "${rc}" "${expected}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "${FILE} lacks ${expected}:\n${rc}")
    endif()
endforeach()
message(STATUS "${FILE}: icon and version ${VERSION}")
