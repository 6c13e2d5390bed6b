# SPDX-License-Identifier: GPL-3.0-or-later
# lumivane_add_test(NAME SOURCES ... LIBS ... [GUI] [LABELS ...] [TIMEOUT s])
# One QtTest executable per unit, registered with CTest. Every test runs with the offscreen
# platform so that no display is needed; GUI marks tests that build widgets.
set(LUMIVANE_SOURCE_DIR ${CMAKE_SOURCE_DIR})
function(lumivane_add_test name)
    cmake_parse_arguments(ARG "GUI" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
    target_compile_definitions(${name} PRIVATE
        LUMIVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
        LUMIVANE_SAMPLES_DIR="${CMAKE_SOURCE_DIR}/samples"
        LUMIVANE_BINARY_DIR="${CMAKE_BINARY_DIR}")
    if(ARG_GUI)
        target_link_libraries(${name} PRIVATE Qt6::Widgets)
    endif()
    add_test(NAME ${name} COMMAND ${name})
    # Each test gets its own runtime directory: meter sessions lock their meter there, and tests
    # that run at the same time open virtual meters with the same serial numbers.
    set(runtime_dir ${CMAKE_BINARY_DIR}/test-runtime/${name})
    file(MAKE_DIRECTORY ${runtime_dir})
    file(CHMOD ${runtime_dir} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
    # Its data and settings stay there too: downloads go into an archive of the test's own.
    set(env "QT_QPA_PLATFORM=offscreen"
            "XDG_RUNTIME_DIR=${runtime_dir}"
            "XDG_DATA_HOME=${runtime_dir}/data"
            "XDG_CONFIG_HOME=${runtime_dir}/config"
            "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0"
            "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
            "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}")
    if(ARG_LABELS)
        set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
    endif()
    if(ARG_TIMEOUT)
        set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
    else()
        set_tests_properties(${name} PROPERTIES TIMEOUT 300)
    endif()
endfunction()
