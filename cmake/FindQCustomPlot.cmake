# Finds QCustomPlot 2.1 built for Qt 6 as a shared library and provides the
# imported target QCustomPlot::QCustomPlot (its header, the library, Qt 6
# Widgets and PrintSupport, and QCUSTOMPLOT_USE_LIBRARY, which users of the
# shared library define). The same search serves Debian's libqcustomplot-dev
# (/usr/include/qcustomplot.h, libQCustomPlotQt6.so) and a build installed
# under a prefix named in CMAKE_PREFIX_PATH, such as the cross-built DLL for
# Windows (include/qcustomplot.h, lib/ with the import library, bin/ with
# the DLL). Not the Qt 5 build (libQCustomPlot.so), which Debian installs
# beside it.
#
# Sets QCustomPlot_FOUND, QCustomPlot_INCLUDE_DIR, QCustomPlot_LIBRARY and,
# on Windows when found, QCustomPlot_DLL.
find_path(QCustomPlot_INCLUDE_DIR qcustomplot.h)
find_library(QCustomPlot_LIBRARY NAMES QCustomPlotQt6 qcustomplot-qt6 qcustomplot2 qcustomplot
    NAMES_PER_DIR)
if(WIN32)
    find_file(QCustomPlot_DLL
        NAMES QCustomPlotQt6.dll libQCustomPlotQt6.dll qcustomplot-qt6.dll
              libqcustomplot-qt6.dll qcustomplot2.dll qcustomplot.dll
        PATH_SUFFIXES bin)
endif()

if(QCustomPlot_INCLUDE_DIR)
    file(STRINGS ${QCustomPlot_INCLUDE_DIR}/qcustomplot.h _qcp_version
         REGEX "^#define QCUSTOMPLOT_VERSION_STR \"[^\"]+\"")
    string(REGEX REPLACE ".*\"([^\"]+)\".*" "\\1" QCustomPlot_VERSION "${_qcp_version}")
    unset(_qcp_version)
endif()

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(QCustomPlot
    REQUIRED_VARS QCustomPlot_LIBRARY QCustomPlot_INCLUDE_DIR
    VERSION_VAR QCustomPlot_VERSION)
mark_as_advanced(QCustomPlot_INCLUDE_DIR QCustomPlot_LIBRARY QCustomPlot_DLL)

if(QCustomPlot_FOUND AND NOT TARGET QCustomPlot::QCustomPlot)
    find_package(Qt6 REQUIRED COMPONENTS Widgets PrintSupport)
    if(QCustomPlot_DLL)
        add_library(QCustomPlot::QCustomPlot SHARED IMPORTED)
        set_target_properties(QCustomPlot::QCustomPlot PROPERTIES
            IMPORTED_LOCATION ${QCustomPlot_DLL}
            IMPORTED_IMPLIB ${QCustomPlot_LIBRARY})
    else()
        add_library(QCustomPlot::QCustomPlot UNKNOWN IMPORTED)
        set_target_properties(QCustomPlot::QCustomPlot PROPERTIES
            IMPORTED_LOCATION ${QCustomPlot_LIBRARY})
    endif()
    set_target_properties(QCustomPlot::QCustomPlot PROPERTIES
        INTERFACE_INCLUDE_DIRECTORIES ${QCustomPlot_INCLUDE_DIR}
        INTERFACE_COMPILE_DEFINITIONS QCUSTOMPLOT_USE_LIBRARY
        INTERFACE_LINK_LIBRARIES "Qt6::Widgets;Qt6::PrintSupport")
endif()
