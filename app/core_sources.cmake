# Sources of lumora_core: everything of the program that needs no widgets
# (QtCore, pugixml and SimpleIni only), tested without a display.
set(LUMORA_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/controls/Helpers.cpp
    ${CMAKE_CURRENT_LIST_DIR}/controls/Helpers.h
    ${CMAKE_CURRENT_LIST_DIR}/config/Config.cpp
    ${CMAKE_CURRENT_LIST_DIR}/config/Config.h
    ${CMAKE_CURRENT_LIST_DIR}/config/DataFiles.cpp
    ${CMAKE_CURRENT_LIST_DIR}/config/DataFiles.h
    ${CMAKE_CURRENT_LIST_DIR}/config/ImportParser.cpp
    ${CMAKE_CURRENT_LIST_DIR}/config/ImportParser.h
    ${CMAKE_CURRENT_LIST_DIR}/config/IniFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/config/IniFile.h
    ${CMAKE_CURRENT_LIST_DIR}/config/LanguageTexts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/config/LanguageTexts.h
    ${CMAKE_CURRENT_LIST_DIR}/config/Roster.cpp
    ${CMAKE_CURRENT_LIST_DIR}/config/Roster.h
    ${CMAKE_CURRENT_LIST_DIR}/config/SlotTable.cpp
    ${CMAKE_CURRENT_LIST_DIR}/config/SlotTable.h
    ${CMAKE_CURRENT_LIST_DIR}/config/TextFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/config/TextFile.h
    ${CMAKE_CURRENT_LIST_DIR}/config/UnXML.cpp
    ${CMAKE_CURRENT_LIST_DIR}/config/UnXML.h
)
