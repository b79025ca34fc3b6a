# The instrumented builds, NOTIFICADOR_SANITIZE and NOTIFICADOR_FUZZ
# (cmake/NotificadorOptions.cmake): the flags every target is built with,
# and what their tests run with.

set(NOTIFICADOR_SANITIZER_FLAGS
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)

if(NOTIFICADOR_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "NOTIFICADOR_FUZZ needs clang: configure with CC=clang CXX=clang++")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link ${NOTIFICADOR_SANITIZER_FLAGS})
    add_link_options(-fsanitize=address,undefined)
elseif(NOTIFICADOR_SANITIZE)
    add_compile_options(${NOTIFICADOR_SANITIZER_FLAGS})
    add_link_options(-fsanitize=address,undefined)
endif()

# What the tests of an instrumented build run with: findings end the
# process with a failure, and leaks inside the system's own libraries are
# set aside by the suppression file (each line says why). The system's
# libraries are built without frame pointers, so allocations are traced with
# the slow unwinder: a suppression can then name the Qt call that leaked
# instead of a whole library.
set(NOTIFICADOR_SANITIZER_ENVIRONMENT
    "ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:detect_stack_use_after_return=1:fast_unwind_on_malloc=0"
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
    "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/sanitizers/lsan.supp:print_suppressions=0")

# Gives every test of the calling directory the sanitizers' settings; does
# nothing in an ordinary build.
function(notificador_sanitizer_environment)
    if(NOT NOTIFICADOR_SANITIZE AND NOT NOTIFICADOR_FUZZ)
        return()
    endif()
    get_property(tests DIRECTORY PROPERTY TESTS)
    if(tests)
        set_property(TEST ${tests} APPEND PROPERTY ENVIRONMENT ${NOTIFICADOR_SANITIZER_ENVIRONMENT})
    endif()
endfunction()
