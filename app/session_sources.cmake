# The classroom session's logic that needs no widgets: device event routing
# and result statistics. Part of lumora_core.
list(APPEND LUMORA_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/DeviceBridge.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DeviceBridge.h
    ${CMAKE_CURRENT_LIST_DIR}/Statistics.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Statistics.h
)
