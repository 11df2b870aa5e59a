# The Windows bundle, a zip made by CPack: README.txt at the top, and the
# component Penlynx (cmake/InstallPenlynx.cmake) of each architecture in its
# own folder, x86/ from this tree and x64/ from the 64-bit tree named by
# PENLYNX_WIN64_BUILD. Without it, a zip of this tree alone.
set(PENLYNX_WIN64_BUILD "" CACHE PATH "The 64-bit Windows build tree to bundle with this one")

configure_file(${LUMORA_ROOT}/packaging/windows/README.txt.in README.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt DESTINATION . COMPONENT Bundle)

set(CPACK_PACKAGE_NAME Penlynx)
set(CPACK_PACKAGE_VENDOR "Lumora developers")
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME Penlynx-${PROJECT_VERSION}-windows)
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_STRIP_FILES ON)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(CPACK_INSTALL_CMAKE_PROJECTS
        "${CMAKE_BINARY_DIR};${PROJECT_NAME};Bundle;/"
        "${CMAKE_BINARY_DIR};${PROJECT_NAME};Penlynx;/x86")
    if(PENLYNX_WIN64_BUILD)
        list(APPEND CPACK_INSTALL_CMAKE_PROJECTS "${PENLYNX_WIN64_BUILD};${PROJECT_NAME};Penlynx;/x64")
    endif()
else()
    set(CPACK_PACKAGE_FILE_NAME Penlynx-${PROJECT_VERSION}-windows-x64)
    set(CPACK_INSTALL_CMAKE_PROJECTS
        "${CMAKE_BINARY_DIR};${PROJECT_NAME};Bundle;/"
        "${CMAKE_BINARY_DIR};${PROJECT_NAME};Penlynx;/x64")
endif()
include(CPack)
