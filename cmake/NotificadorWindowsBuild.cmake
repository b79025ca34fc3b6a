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
)

# The Windows build is made from this tree's files, so it is brought up to
# date when one of them changes, and only then; the inner build then remakes
# what its own dependencies say. The folders it is made from are taken
# whole, so a file added or moved there counts without being named here.
# The list itself is written out as well: a file removed changes no other
# file's time, but it changes the list.
set(notificador_windows_inputs ${PROJECT_SOURCE_DIR}/CMakeLists.txt)
foreach(folder IN ITEMS cmake packaging resources src tests)
    file(GLOB_RECURSE folder_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*)
    list(APPEND notificador_windows_inputs ${folder_files})
endforeach()
# Python's byte code, should a script of the tests leave it, is no input.
list(FILTER notificador_windows_inputs EXCLUDE REGEX "/__pycache__/|\\.py[co]$")
list(JOIN notificador_windows_inputs "\n" notificador_windows_listing)
set(notificador_windows_listing_file ${CMAKE_BINARY_DIR}/notificador_windows-inputs.txt)
file(WRITE ${notificador_windows_listing_file}.new "${notificador_windows_listing}\n")
file(COPY_FILE ${notificador_windows_listing_file}.new ${notificador_windows_listing_file} ONLY_IF_DIFFERENT)
file(REMOVE ${notificador_windows_listing_file}.new)
ExternalProject_Add_StepDependencies(notificador_windows build
    ${notificador_windows_inputs} ${notificador_windows_listing_file})

if(BUILD_TESTING)
    add_subdirectory(${PROJECT_SOURCE_DIR}/tests/wine ${CMAKE_BINARY_DIR}/tests/wine)
endif()
