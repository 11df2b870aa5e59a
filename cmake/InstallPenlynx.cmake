# Install rules of Penlynx (included from receiver/CMakeLists.txt): the
# library, its header, penlynx-monitor; on Linux also the pkg-config file, the
# CMake package (find_package(Penlynx) gives Penlynx::Penlynx) and the udev
# rule; on Windows the import library and the .def file, all in one folder.
# Everything goes into the component Penlynx, which the Windows bundle picks
# by name.
include(GNUInstallDirs)
set(_penlynx_packaging ${CMAKE_CURRENT_LIST_DIR}/../packaging)

if(WIN32)
    # One flat folder: the DLL is copied beside the program that loads it.
    install(TARGETS Penlynx penlynx-monitor
        RUNTIME DESTINATION . COMPONENT Penlynx
        ARCHIVE DESTINATION . COMPONENT Penlynx)
    install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/include/penlynx.h DESTINATION . COMPONENT Penlynx)
    install(FILES ${PENLYNX_DEF} DESTINATION . RENAME Penlynx.def COMPONENT Penlynx)
    return()
endif()

# The programs find the library relative to themselves, so that an unpacked or
# moved prefix runs as it is. Lumora uses the same (packaging/CMakeLists.txt).
file(RELATIVE_PATH _penlynx_bin_to_lib ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
set(PENLYNX_INSTALL_RPATH "$ORIGIN/${_penlynx_bin_to_lib}" CACHE INTERNAL "")
set_target_properties(penlynx-monitor PROPERTIES INSTALL_RPATH "${PENLYNX_INSTALL_RPATH}")

install(TARGETS Penlynx EXPORT PenlynxTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Penlynx NAMELINK_COMPONENT Penlynx)
install(TARGETS penlynx-monitor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Penlynx)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/include/penlynx.h
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT Penlynx)

# pkg-config: paths relative to the .pc file, so an unpacked or moved prefix
# compiles against itself.
file(RELATIVE_PATH _penlynx_pc_to_prefix
    ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" _penlynx_pc_to_prefix "${_penlynx_pc_to_prefix}")
configure_file(${_penlynx_packaging}/penlynx.pc.in ${CMAKE_CURRENT_BINARY_DIR}/penlynx.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/penlynx.pc
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT Penlynx)

# The CMake package. The generated files locate the prefix from their own place.
include(CMakePackageConfigHelpers)
set(_penlynx_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Penlynx)
install(EXPORT PenlynxTargets NAMESPACE Penlynx:: DESTINATION ${_penlynx_cmake_dir}
    COMPONENT Penlynx)
configure_package_config_file(${_penlynx_packaging}/PenlynxConfig.cmake.in
    ${CMAKE_CURRENT_BINARY_DIR}/PenlynxConfig.cmake INSTALL_DESTINATION ${_penlynx_cmake_dir})
# The soname's number is the interface's: 1.x stays compatible.
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/PenlynxConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/PenlynxConfig.cmake
    ${CMAKE_CURRENT_BINARY_DIR}/PenlynxConfigVersion.cmake
    DESTINATION ${_penlynx_cmake_dir} COMPONENT Penlynx)

# Read and write access to the receiver for the user at the seat.
install(FILES ${_penlynx_packaging}/60-penlynx.rules
    DESTINATION lib/udev/rules.d COMPONENT Penlynx)
