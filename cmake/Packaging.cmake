# make package: a Debian package and a tarball of everything cmake --install
# puts under the prefix. The package's dependencies are computed from the
# installed programs and library by dpkg-shlibdeps; only what the programs
# load at run time without linking it is named here.
set(CPACK_PACKAGE_NAME lumora)
set(CPACK_PACKAGE_VENDOR "Lumora developers")
set(CPACK_PACKAGE_CONTACT "Lumora developers <lumora@lumora.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "classroom answering system for handwriting tablets")
set(CPACK_PACKAGE_DESCRIPTION
    "Every student holds a handwriting tablet with answer keys and a pen; a USB
receiver collects key presses and pen strokes from the whole room. Lumora, the
teacher's program, shows the class as a seat grid, runs single and multiple
choice questions with live answers and a result chart, and shows every
student's handwriting live.
This package also holds Penlynx, the receiver's driver library with its C
header, pkg-config file and CMake package, the penlynx-monitor tool and the
udev rule that gives the user at the seat access to the receiver.")
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CMAKE_SYSTEM_PROCESSOR})
set(CPACK_GENERATOR DEB TGZ)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libPenlynx.so.1 is in this package: dpkg-shlibdeps resolves Lumora's link to it here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# Qt loads its plugins at run time, so no link shows them: the window-system
# plugin always, and SQLite's driver when the program uses Qt SQL.
set(_lumora_plugins qt6-qpa-plugins)
function(_lumora_uses_qt_sql dir result)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(links ${target} LINK_LIBRARIES)
        if(links MATCHES "Qt6?::Sql")
            set(${result} ON PARENT_SCOPE)
            return()
        endif()
    endforeach()
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(subdir IN LISTS subdirs)
        _lumora_uses_qt_sql(${subdir} found)
        if(found)
            set(${result} ON PARENT_SCOPE)
            return()
        endif()
    endforeach()
endfunction()
if(EXISTS ${PROJECT_SOURCE_DIR}/app/CMakeLists.txt)
    _lumora_uses_qt_sql(${PROJECT_SOURCE_DIR}/app uses_sql)
    if(uses_sql)
        list(APPEND _lumora_plugins libqt6sql6-sqlite)
    endif()
endif()
list(JOIN _lumora_plugins ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
# The font the seat and pane layout is measured in; Qt's own translations,
# which put its file dialogs into the teacher's language (without them they
# stay English and the program works on).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-zenhei, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/debian/postinst ${PROJECT_SOURCE_DIR}/packaging/debian/postrm
    ${PROJECT_SOURCE_DIR}/packaging/debian/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
