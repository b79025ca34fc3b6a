# The version record, made from the one version text in the top-level
# CMakeLists.txt: a header for the code, and the Windows resource script
# that carries the icon and the version into the executable. The script is
# made on every platform, so its test can compile it here too. The
# header is the platform's: it tells the desktop the version.
configure_file(version.h.in generated/notificador_version.h @ONLY)
target_include_directories(notificador_platform PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/generated)

# The icon is NOTIFICADOR_ICO, from cmake/NotificadorIcons.cmake.
set(NOTIFICADOR_RC ${CMAKE_CURRENT_BINARY_DIR}/notificador.rc)
configure_file(notificador.rc.in ${NOTIFICADOR_RC} @ONLY)
set(NOTIFICADOR_RC ${NOTIFICADOR_RC} PARENT_SCOPE)
if(WIN32)
    target_sources(notificador PRIVATE ${NOTIFICADOR_RC})
    # The resource compiler's input is scanned for #include alone: without
    # this, a new icon would not reach an executable built before it.
    set_source_files_properties(${NOTIFICADOR_RC} PROPERTIES OBJECT_DEPENDS ${NOTIFICADOR_ICO})
endif()
