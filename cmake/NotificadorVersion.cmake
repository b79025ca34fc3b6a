# The program's version is written as text, MAJOR.MINOR.REVISION with zero
# padding ("4.00.0004"), because that is how it is shown. CMake's project
# version and the Windows version record need the plain numbers; they are
# read from that text here so the version is never written twice.
#
#   notificador_version_numbers(TEXT PREFIX)
#
# sets PREFIX (e.g. "4.0.4"), PREFIX_MAJOR, PREFIX_MINOR and PREFIX_REVISION
# in the caller's scope. A text of another shape, or a number that would not
# fit a 16-bit part of the Windows FILEVERSION, stops the configuration
# rather than being truncated there.
function(notificador_version_numbers text prefix)
    if(NOT text MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
        message(FATAL_ERROR "version '${text}' is not of the form MAJOR.MINOR.REVISION")
    endif()
    set(parts "${CMAKE_MATCH_1}" "${CMAKE_MATCH_2}" "${CMAKE_MATCH_3}")
    set(numbers "")
    foreach(part IN LISTS parts)
        string(REGEX REPLACE "^0+([0-9])" "\\1" number "${part}")
        string(LENGTH "${number}" digits)
        if(digits GREATER 5 OR number GREATER 65535)
            message(FATAL_ERROR "version '${text}': ${part} does not fit a 16-bit version number")
        endif()
        list(APPEND numbers "${number}")
    endforeach()
    list(GET numbers 0 major)
    list(GET numbers 1 minor)
    list(GET numbers 2 revision)
    set(${prefix} "${major}.${minor}.${revision}" PARENT_SCOPE)
    set(${prefix}_MAJOR "${major}" PARENT_SCOPE)
    set(${prefix}_MINOR "${minor}" PARENT_SCOPE)
    set(${prefix}_REVISION "${revision}" PARENT_SCOPE)
endfunction()
