# Every option of the build, in one place. What each one does is done where
# it matters: the instrumented builds in cmake/NotificadorSanitizers.cmake,
# the benchmark in bench/, the Windows build in
# cmake/NotificadorWindowsBuild.cmake.
#
# The instrumented builds are each a configuration of its own, in a build
# directory of its own:
#
#   NOTIFICADOR_SANITIZE  every target built with AddressSanitizer,
#                         UndefinedBehaviorSanitizer and LeakSanitizer; the
#                         tests run as usual, and any finding fails the test.
#   NOTIFICADOR_FUZZ      the libFuzzer targets under fuzz/ (clang only), with
#                         the program's code instrumented for coverage.
option(NOTIFICADOR_SANITIZE "Build with AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer" OFF)
option(NOTIFICADOR_FUZZ "Build the libFuzzer targets (needs clang)" OFF)

# The start-up benchmark (bench/run.sh turns it on); it needs more packages
# than the build does (bench/install-deps.sh).
option(NOTIFICADOR_BENCHMARK "Build the start-up benchmark in bench/" OFF)

# The Windows build of the same tree, cross-compiled beside the Linux build:
# on by default where the cross compiler is installed, except in the
# instrumented builds. The Windows build itself has no such option.
if(NOT WIN32)
    find_program(NOTIFICADOR_MINGW_CXX NAMES x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-g++)
    set(notificador_windows_default OFF)
    if(NOTIFICADOR_MINGW_CXX AND NOT NOTIFICADOR_SANITIZE AND NOT NOTIFICADOR_FUZZ)
        set(notificador_windows_default ON)
    endif()
    option(NOTIFICADOR_WINDOWS_BUILD "Cross-compile the Windows build beside this one and test it under Wine"
        ${notificador_windows_default})
    unset(notificador_windows_default)
endif()
