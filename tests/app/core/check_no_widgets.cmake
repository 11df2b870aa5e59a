# Fails when lumora_core links Qt Widgets or Gui, directly or at run time.
if(LINKS MATCHES "Widgets|Qt6::Gui|Charts")
    message(FATAL_ERROR "lumora_core links ${LINKS}")
endif()
file(GET_RUNTIME_DEPENDENCIES EXECUTABLES "${PROGRAM}" RESOLVED_DEPENDENCIES_VAR deps
     UNRESOLVED_DEPENDENCIES_VAR missing)
foreach(dep IN LISTS deps missing)
    if(dep MATCHES "Qt6?(Widgets|Gui|Charts)")
        message(FATAL_ERROR "a program linking lumora_core loads ${dep}")
    endif()
endforeach()
message(STATUS "lumora_core: QtCore only (${LINKS})")
