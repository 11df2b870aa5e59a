# The language level and warnings every build of the project uses (the main
# tree and the Windows cross-builds). Every target of the project links
# lumora_warnings; the top-level CMakeLists.txt checks that none was missed.
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)
if(NOT CMAKE_BUILD_TYPE)
    set(CMAKE_BUILD_TYPE RelWithDebInfo)
endif()

# On in CI and developer builds; a packager building with another compiler
# may turn it off (-DLUMORA_WERROR=OFF) and still get the warnings.
option(LUMORA_WERROR "Treat compiler warnings as errors" ON)
if(NOT TARGET lumora_warnings)
    add_library(lumora_warnings INTERFACE)
    target_compile_options(lumora_warnings INTERFACE -Wall -Wextra
        $<$<BOOL:${LUMORA_WERROR}>:-Werror>)
endif()

# Fails the configure step when a target built from the project's sources in
# `dir` or below does not link lumora_warnings.
function(lumora_check_warnings dir)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(type MATCHES "EXECUTABLE|LIBRARY" AND NOT type STREQUAL "INTERFACE_LIBRARY")
            get_target_property(sources ${target} SOURCES)
            get_target_property(links ${target} LINK_LIBRARIES)
            if(sources AND NOT "lumora_warnings" IN_LIST links)
                message(FATAL_ERROR "${target} (${dir}) does not link lumora_warnings")
            endif()
        endif()
    endforeach()
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(subdir IN LISTS subdirs)
        lumora_check_warnings(${subdir})
    endforeach()
endfunction()

# Rebuilds of the same sources in several build folders (the sanitizer
# builds, worktrees) compile once when ccache is there.
find_program(LUMORA_CCACHE ccache)
if(LUMORA_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
    set(CMAKE_C_COMPILER_LAUNCHER ${LUMORA_CCACHE})
    set(CMAKE_CXX_COMPILER_LAUNCHER ${LUMORA_CCACHE})
endif()
