# Run by the install script for each program (cmake/NotificadorShipped.cmake):
# the installed program loses its debugging information and its symbols, as
# the archives ship it; they go into a file beside it, which the program
# names, with the file's checksum, in its .gnu_debuglink section, where gdb
# looks for it. The information is taken from the program as built, so the
# install is the same with `cmake --install --strip` and from CPack, which
# have stripped the copy already.
#
# Expects: notificador_objcopy, notificador_built (the build tree's program),
# notificador_installed (the installed copy), notificador_debug (the file to
# write beside it).

execute_process(
    COMMAND ${notificador_objcopy} --only-keep-debug ${notificador_built} ${notificador_debug}
    RESULT_VARIABLE status)
if(status)
    message(FATAL_ERROR "objcopy could not take the debugging information of ${notificador_built}")
endif()
file(CHMOD ${notificador_debug} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
message(STATUS "Installing: ${notificador_debug}")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES ${notificador_debug})

execute_process(
    COMMAND ${notificador_objcopy} --strip-all ${notificador_installed}
    RESULT_VARIABLE status)
if(NOT status)
    # The link is made in the debug file's own folder, so that it names the
    # file alone, as gdb looks for it beside the program.
    get_filename_component(folder ${notificador_debug} DIRECTORY)
    get_filename_component(name ${notificador_debug} NAME)
    execute_process(
        COMMAND ${notificador_objcopy} --add-gnu-debuglink=${name} ${notificador_installed}
        WORKING_DIRECTORY ${folder}
        RESULT_VARIABLE status)
endif()
if(status)
    message(FATAL_ERROR "objcopy could not strip ${notificador_installed}")
endif()
