# Sources of lumora_widgets: the skinned controls and the program's pictures.
# Their layout arithmetic (GridLayout) needs no widgets and is in lumora_core.
list(APPEND LUMORA_WIDGET_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/controls/InkSheet.cpp
    ${CMAKE_CURRENT_LIST_DIR}/controls/InkSheet.h
    ${CMAKE_CURRENT_LIST_DIR}/controls/PageBar.cpp
    ${CMAKE_CURRENT_LIST_DIR}/controls/PageBar.h
    ${CMAKE_CURRENT_LIST_DIR}/controls/SkinButton.cpp
    ${CMAKE_CURRENT_LIST_DIR}/controls/SkinButton.h
    ${CMAKE_CURRENT_LIST_DIR}/controls/Stdpanel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/controls/Stdpanel.h
    ${CMAKE_CURRENT_LIST_DIR}/resources/skin.qrc
)

# The painter of the pictures in resources/skin/ (their source).
add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/resources/tools ${CMAKE_CURRENT_BINARY_DIR}/paint_skin)
