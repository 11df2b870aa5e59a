# Reads the version from project(Lumora VERSION ...) in the top-level
# CMakeLists.txt into LUMORA_PROJECT_VERSION, so that the Windows tree carries
# the same version without a second copy of it.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../CMakeLists.txt _lumora_project
    REGEX "^project\\(Lumora VERSION [0-9.]+")
string(REGEX MATCH "[0-9]+(\\.[0-9]+)*" LUMORA_PROJECT_VERSION "${_lumora_project}")
if(NOT LUMORA_PROJECT_VERSION)
    message(FATAL_ERROR "No project(Lumora VERSION ...) in the top-level CMakeLists.txt")
endif()
