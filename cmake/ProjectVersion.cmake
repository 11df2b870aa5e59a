# The version the programs print: LumoraVersion.h, generated from the
# including tree's project(VERSION ...), behind the interface target
# project_version.
configure_file(${CMAKE_CURRENT_LIST_DIR}/Version.h.in
    ${CMAKE_BINARY_DIR}/generated/LumoraVersion.h @ONLY)
add_library(project_version INTERFACE)
target_include_directories(project_version INTERFACE ${CMAKE_BINARY_DIR}/generated)
