# Sources of lumora_core: everything of the program that needs no widgets
# (QtCore, pugixml and SimpleIni only), tested without a display.
set(LUMORA_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/controls/Helpers.cpp
    ${CMAKE_CURRENT_LIST_DIR}/controls/Helpers.h
    ${CMAKE_CURRENT_LIST_DIR}/config/SlotTable.cpp
    ${CMAKE_CURRENT_LIST_DIR}/config/SlotTable.h
)
