# Sources of the program's dialogs (template, entry dialog, prompt); they are
# part of lumora_widgets.
list(APPEND LUMORA_WIDGET_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/config/UnModel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/config/UnModel.h
    ${CMAKE_CURRENT_LIST_DIR}/config/UnSetName.cpp
    ${CMAKE_CURRENT_LIST_DIR}/config/UnSetName.h
)
