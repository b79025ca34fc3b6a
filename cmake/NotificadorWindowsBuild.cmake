# The Windows build of this same source tree, cross-compiled beside the
# Linux build with MinGW-w64 (cmake/mingw-w64-x86_64.cmake) into
# <build>/windows, and tested under Wine (tests/wine/). It is made where
# NOTIFICADOR_WINDOWS_BUILD is on (cmake/NotificadorOptions.cmake).
if(NOT NOTIFICADOR_WINDOWS_BUILD)
    return()
endif()

include(ExternalProject)
set(NOTIFICADOR_WINDOWS_DIR ${CMAKE_BINARY_DIR}/windows)
# Makefiles share the outer build's job slots; any other generator is held
# to two jobs of its own.
set(notificador_windows_build_command)
if(NOT CMAKE_GENERATOR MATCHES "Makefiles")
    set(notificador_windows_build_command BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --parallel 2)
endif()
ExternalProject_Add(notificador_windows
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${NOTIFICADOR_WINDOWS_DIR}
    CMAKE_ARGS
        -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
        -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
        -DCMAKE_CROSSCOMPILING_EMULATOR=${PROJECT_SOURCE_DIR}/tests/wine/wine-run.sh
        -DBUILD_TESTING=${BUILD_TESTING}
    ${notificador_windows_build_command}
    INSTALL_COMMAND ""
    # The sources are this tree's: the Windows build is brought up to date
    # with every build of this one.
    BUILD_ALWAYS TRUE
)

if(BUILD_TESTING)
    add_subdirectory(${PROJECT_SOURCE_DIR}/tests/wine ${CMAKE_BINARY_DIR}/tests/wine)
endif()
