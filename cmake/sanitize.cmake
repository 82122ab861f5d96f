# AddressSanitizer and UndefinedBehaviorSanitizer over the program's own code and its tests:
#   cmake -S . -B build-asan -DAMBERVALE_SANITIZE=ON      (bench/sanitize.sh does this and runs ctest)
# Qt and the web engine come from Debian uninstrumented. ASan still owns their heap through its
# malloc, so their own faults and leaks surface in our processes too; the options and the
# suppression files beside this one keep exactly those out.
option(AMBERVALE_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(AMBERVALE_SANITIZE)
    # UBSan stays recoverable so that its suppressions can apply; halt_on_error still makes
    # every report that is not suppressed fatal.
    set(sanitize_flags -fsanitize=address,undefined -fno-omit-frame-pointer)
    add_compile_options(${sanitize_flags}
        # Stands in at compile time for ASan's new/delete size check, turned off below.
        $<$<COMPILE_LANGUAGE:CXX>:-Werror=delete-non-virtual-dtor>)
    add_link_options(${sanitize_flags})

    # malloc_context_size=2 records each allocation's direct caller only, so that a leak
    # suppression naming a library matches only memory that library allocated itself: whatever
    # our code allocates names our code there, even when the engine called it (the scheme
    # handler, slots on engine signals). For a leak's whole stack, run the test again with
    # malloc_context_size=30 in ASAN_OPTIONS.
    # new_delete_type_mismatch=0: the engine deletes some of its own objects with the size of a
    # base class (QWebEnginePage's destructor, in every test that shows a page). ASan has no
    # suppression for this check, so it is off for the whole process.
    set(AMBERVALE_ASAN_OPTIONS "detect_leaks=1:malloc_context_size=2:new_delete_type_mismatch=0:halt_on_error=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1")
    set(AMBERVALE_LSAN_OPTIONS "suppressions=${CMAKE_CURRENT_LIST_DIR}/sanitize-lsan.supp:print_suppressions=0")
    set(AMBERVALE_UBSAN_OPTIONS "suppressions=${CMAKE_CURRENT_LIST_DIR}/sanitize-ubsan.supp:print_stacktrace=1:halt_on_error=1")

    # Read by ctest before it runs any test of this build, and by bench/sanitize.sh.
    file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/sanitize-environment.cmake CONTENT [[
set(ENV{ASAN_OPTIONS} "@AMBERVALE_ASAN_OPTIONS@")
set(ENV{LSAN_OPTIONS} "@AMBERVALE_LSAN_OPTIONS@")
set(ENV{UBSAN_OPTIONS} "@AMBERVALE_UBSAN_OPTIONS@")
]] @ONLY)
    file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/sanitize-environment.sh CONTENT [[
export ASAN_OPTIONS="@AMBERVALE_ASAN_OPTIONS@"
export LSAN_OPTIONS="@AMBERVALE_LSAN_OPTIONS@"
export UBSAN_OPTIONS="@AMBERVALE_UBSAN_OPTIONS@"
]] @ONLY)
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/sanitize-environment.cmake)
endif()
