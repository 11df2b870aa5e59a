# Sources of lumora_record: the lesson record (SQLite through Qt SQL, ink
# pictures as PNG), its history queries and exports (CSV, XLSX through
# libxlsxwriter), and the export command. No widgets.
set(LUMORA_RECORD_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/record/Export.cpp
    ${CMAKE_CURRENT_LIST_DIR}/record/Export.h
    ${CMAKE_CURRENT_LIST_DIR}/record/ExportCommand.cpp
    ${CMAKE_CURRENT_LIST_DIR}/record/ExportCommand.h
    ${CMAKE_CURRENT_LIST_DIR}/record/ExportSheet.h
    ${CMAKE_CURRENT_LIST_DIR}/record/LagHistogram.cpp
    ${CMAKE_CURRENT_LIST_DIR}/record/LagHistogram.h
    ${CMAKE_CURRENT_LIST_DIR}/record/LessonExport.cpp
    ${CMAKE_CURRENT_LIST_DIR}/record/LessonExport.h
    ${CMAKE_CURRENT_LIST_DIR}/record/LessonHistory.cpp
    ${CMAKE_CURRENT_LIST_DIR}/record/LessonHistory.h
    ${CMAKE_CURRENT_LIST_DIR}/record/PenStroke.cpp
    ${CMAKE_CURRENT_LIST_DIR}/record/PenStroke.h
    ${CMAKE_CURRENT_LIST_DIR}/record/QuestionRecording.cpp
    ${CMAKE_CURRENT_LIST_DIR}/record/QuestionRecording.h
    ${CMAKE_CURRENT_LIST_DIR}/record/RecordDatabase.cpp
    ${CMAKE_CURRENT_LIST_DIR}/record/RecordDatabase.h
    ${CMAKE_CURRENT_LIST_DIR}/record/RecordEvent.h
    ${CMAKE_CURRENT_LIST_DIR}/record/RecordProblem.cpp
    ${CMAKE_CURRENT_LIST_DIR}/record/RecordProblem.h
    ${CMAKE_CURRENT_LIST_DIR}/record/RecordTime.cpp
    ${CMAKE_CURRENT_LIST_DIR}/record/RecordTime.h
    ${CMAKE_CURRENT_LIST_DIR}/record/RecordWriter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/record/RecordWriter.h
    ${CMAKE_CURRENT_LIST_DIR}/record/Recorder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/record/Recorder.h
    ${CMAKE_CURRENT_LIST_DIR}/record/SheetWriters.cpp
    ${CMAKE_CURRENT_LIST_DIR}/record/SheetWriters.h
)
