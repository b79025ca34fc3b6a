# Programs are installed as they ship, stripped, whatever installs them:
# `cmake --install`, with or without --strip, and CPack. A stripped Windows
# executable is a twentieth of the size, and Windows maps the debugging
# information with the image. The debugging information is kept beside each
# program in <name>.debug (cmake/NotificadorSplitDebug.cmake), so that a
# crash can still be read; the build tree's programs keep theirs.

if(NOT CMAKE_OBJCOPY)
    message(FATAL_ERROR "objcopy not found (Debian package binutils, or binutils-mingw-w64-x86-64)")
endif()

# notificador_install_stripped(DESTINATION TARGET...): after install(TARGETS)
# has put each TARGET into DESTINATION (relative to the prefix).
function(notificador_install_stripped destination)
    foreach(target IN LISTS ARGN)
        set(folder "\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${destination}")
        install(CODE "
            set(notificador_objcopy \"${CMAKE_OBJCOPY}\")
            set(notificador_built \"$<TARGET_FILE:${target}>\")
            set(notificador_installed \"${folder}/$<TARGET_FILE_NAME:${target}>\")
            set(notificador_debug \"${folder}/$<TARGET_FILE_BASE_NAME:${target}>.debug\")
            include(\"${PROJECT_SOURCE_DIR}/cmake/NotificadorSplitDebug.cmake\")
        ")
    endforeach()
endfunction()
