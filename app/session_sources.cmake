# Logic that needs no widgets beyond the core files: seat association, grid
# and pane layout arithmetic, data folder, device event routing, result
# statistics, the shipped language files. Part of lumora_core.
list(APPEND LUMORA_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/config/Association.cpp
    ${CMAKE_CURRENT_LIST_DIR}/config/Association.h
    ${CMAKE_CURRENT_LIST_DIR}/controls/GridLayout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/controls/GridLayout.h
    ${CMAKE_CURRENT_LIST_DIR}/controls/InkReach.cpp
    ${CMAKE_CURRENT_LIST_DIR}/controls/InkReach.h
    ${CMAKE_CURRENT_LIST_DIR}/AnswerProgress.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AnswerProgress.h
    ${CMAKE_CURRENT_LIST_DIR}/DataDir.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DataDir.h
    ${CMAKE_CURRENT_LIST_DIR}/DeviceBridge.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DeviceBridge.h
    ${CMAKE_CURRENT_LIST_DIR}/Statistics.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Statistics.h
    ${CMAKE_CURRENT_LIST_DIR}/TerminationSignals.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TerminationSignals.h
    ${CMAKE_CURRENT_LIST_DIR}/languages.qrc
)
