# The main window and its parts (widgets): part of lumora_widgets.
list(APPEND LUMORA_WIDGET_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/GroupBar.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GroupBar.h
    ${CMAKE_CURRENT_LIST_DIR}/HistoryView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HistoryView.h
    ${CMAKE_CURRENT_LIST_DIR}/Main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Main.h
    ${CMAKE_CURRENT_LIST_DIR}/MainKeyboard.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MainFiles.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MainLive.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MainRecord.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MainSettings.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PictureOverlay.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PictureOverlay.h
    ${CMAKE_CURRENT_LIST_DIR}/ResultChart.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ResultChart.h
    ${CMAKE_CURRENT_LIST_DIR}/Tour.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Tour.h
)
