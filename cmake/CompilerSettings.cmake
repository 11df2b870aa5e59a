# The language level and warnings every build of the project uses (the main
# tree and the Windows cross-build of Penlynx).
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)
if(NOT CMAKE_BUILD_TYPE)
    set(CMAKE_BUILD_TYPE RelWithDebInfo)
endif()
# Exact floating point: the tablet geometry must give the same bits everywhere.
add_compile_options(-Wall -Wextra -Werror -ffp-contract=off)
