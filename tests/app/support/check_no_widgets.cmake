# Fails when a widget-free library links Qt Widgets (or another Qt module
# matching FORBIDDEN), directly or at run time: LIBRARY the library's name,
# LINKS its link interface, PROGRAM a test program that links it alone.
if(LINKS MATCHES "${FORBIDDEN}")
    message(FATAL_ERROR "${LIBRARY} links ${LINKS}")
endif()
file(GET_RUNTIME_DEPENDENCIES EXECUTABLES "${PROGRAM}" RESOLVED_DEPENDENCIES_VAR deps
     UNRESOLVED_DEPENDENCIES_VAR missing)
foreach(dep IN LISTS deps missing)
    if(dep MATCHES "Qt6?(${FORBIDDEN})")
        message(FATAL_ERROR "a program linking ${LIBRARY} loads ${dep}")
    endif()
endforeach()
message(STATUS "${LIBRARY}: no ${FORBIDDEN} (${LINKS})")
