# The program for 64-bit Windows as a folder that runs where it is put: what
# `cmake --install` lays out, what the zip holds and what the installer copies.
#
#   Lumora.exe, Penlynx.dll, qcustomplot.dll, the Qt and runtime DLLs they load
#   platforms/  sqldrivers/  styles/    Qt's plugins
#   share/lumora/Language/              the shipped languages
#   translations/                       Qt's own texts for them
#
# The zip adds Language/ beside the program (component Portable): a folder
# that holds it and may be written keeps the teacher's data itself, so the
# zip runs from a USB stick. The installed program keeps its data in
# %APPDATA%\Lumora and seeds it from share/lumora.
#
# The DLLs are found by following the imports of the program and the plugins
# (CMake reads them with mingw's objdump) in the Qt cache, QCustomPlot's and
# mingw's folders; the system's own DLLs stay out. Everything is stripped.
set(LUMORA_QT_PLUGINS
    platforms/qwindows.dll
    platforms/qoffscreen.dll
    platforms/qminimal.dll
    sqldrivers/qsqlite.dll
    styles/qwindowsvistastyle.dll)

install(TARGETS Lumora Penlynx RUNTIME DESTINATION . COMPONENT Program)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/app/Language DESTINATION share/lumora COMPONENT Program)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/app/Language DESTINATION . COMPONENT Portable)
foreach(plugin IN LISTS LUMORA_QT_PLUGINS)
    get_filename_component(folder ${plugin} DIRECTORY)
    install(FILES ${LUMORA_QT_WINDOWS}/plugins/${plugin} DESTINATION ${folder} COMPONENT Program)
endforeach()
# Qt's texts (file dialogs, buttons) in the shipped languages.
foreach(language zh_CN en)
    set(qm /usr/share/qt6/translations/qtbase_${language}.qm)
    if(EXISTS ${qm})
        install(FILES ${qm} DESTINATION translations COMPONENT Program)
    endif()
endforeach()

execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
    OUTPUT_VARIABLE LUMORA_LIBSTDCXX OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(LUMORA_GCC_RUNTIME_DIR ${LUMORA_LIBSTDCXX} DIRECTORY)
set(LUMORA_DLL_DIRS
    ${LUMORA_QT_WINDOWS}/bin
    ${LUMORA_GCC_RUNTIME_DIR}
    /usr/x86_64-w64-mingw32/lib
    /usr/x86_64-w64-mingw32/bin)

# CMake reads the imported names in lower case (qt6core.dll) and looks them up
# as files: a folder of lower-case links to the DLLs lets it find them on this
# case-sensitive file system; what is installed is the file itself.
set(LUMORA_DLL_NAMES ${CMAKE_BINARY_DIR}/dll-names)
install(CODE "
    set(names \"${LUMORA_DLL_NAMES}\")
    file(REMOVE_RECURSE \"\${names}\")
    file(MAKE_DIRECTORY \"\${names}\")
    foreach(dir ${LUMORA_DLL_DIRS})
        file(GLOB dlls \"\${dir}/*.dll\")
        foreach(dll \${dlls})
            get_filename_component(name \${dll} NAME)
            string(TOLOWER \${name} name)
            if(NOT EXISTS \"\${names}/\${name}\")
                file(CREATE_LINK \${dll} \"\${names}/\${name}\" SYMBOLIC)
            endif()
        endforeach()
    endforeach()
    set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
    set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
    set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND \"${CMAKE_OBJDUMP}\")
    set(root \"\${CMAKE_INSTALL_PREFIX}\")
    set(plugins)
    foreach(plugin ${LUMORA_QT_PLUGINS})
        list(APPEND plugins \"\${root}/\${plugin}\")
    endforeach()
    file(GET_RUNTIME_DEPENDENCIES
        EXECUTABLES \"\${root}/Lumora.exe\"
        LIBRARIES \${plugins} \"\${root}/Penlynx.dll\"
        DIRECTORIES \"\${names}\"
        PRE_EXCLUDE_REGEXES \"^penlynx\\\\.dll\$\"
        RESOLVED_DEPENDENCIES_VAR found
        UNRESOLVED_DEPENDENCIES_VAR system)
    foreach(link \${found})
        file(REAL_PATH \${link} dll)
        file(INSTALL \${dll} DESTINATION \"\${root}\")
    endforeach()
    # What is not found here is the system's (kernel32.dll, api-ms-win-*).
    list(LENGTH found count)
    message(STATUS \"Program DLLs: \${count}; the system's: \${system}\")
    file(GLOB_RECURSE binaries \"\${root}/*.exe\" \"\${root}/*.dll\")
    foreach(binary \${binaries})
        execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded \${binary}
            RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR \"Cannot strip \${binary}\")
        endif()
    endforeach()
    " COMPONENT Program)

# The portable zip (cpack in this folder): the folder above, inside one
# folder of the zip's own name.
set(CPACK_PACKAGE_NAME Lumora)
set(CPACK_PACKAGE_VENDOR "Lumora developers")
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME Lumora-${PROJECT_VERSION}-windows-x64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)
# Only these two components: not Penlynx's files for developers.
set(CPACK_INSTALL_CMAKE_PROJECTS
    "${CMAKE_BINARY_DIR};${PROJECT_NAME};Program;/"
    "${CMAKE_BINARY_DIR};${PROJECT_NAME};Portable;/")
include(CPack)

# The installer (target installer): the same folder installed into stage/,
# then NSIS's makensis.
find_program(LUMORA_MAKENSIS makensis)
set(LUMORA_STAGE ${CMAKE_BINARY_DIR}/stage)
set(LUMORA_SETUP ${CMAKE_BINARY_DIR}/Lumora-${PROJECT_VERSION}-setup-x64.exe)
add_custom_target(installer
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${LUMORA_STAGE}
    COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${LUMORA_STAGE}
            --component Program
    COMMAND ${LUMORA_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DSTAGE=${LUMORA_STAGE}
            -DOUTFILE=${LUMORA_SETUP} ${PROJECT_SOURCE_DIR}/packaging/windows/Lumora.nsi
    DEPENDS Lumora Penlynx
    COMMENT "Making ${LUMORA_SETUP}"
    VERBATIM)
