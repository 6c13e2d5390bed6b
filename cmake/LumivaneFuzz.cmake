# SPDX-License-Identifier: GPL-3.0-or-later
# LUMIVANE_FUZZ: the libFuzzer targets of tests/fuzz over the real libraries. clang++ only: every
# target of ours is compiled with the fuzzer's coverage instrumentation (fuzzer-no-link),
# AddressSanitizer and UndefinedBehaviorSanitizer; only the fuzz targets link the fuzzer's main().
# Included before the folders, so that the flags reach every library.
option(LUMIVANE_FUZZ "Build the libFuzzer targets of tests/fuzz (needs clang++)" OFF)
if(NOT LUMIVANE_FUZZ)
    return()
endif()
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "LUMIVANE_FUZZ needs clang++: configure with -DCMAKE_CXX_COMPILER=clang++ (preset fuzz)")
endif()
# -O1 keeps the targets fast without the compile time of -O2; undefined behaviour stops the run
# like a memory error, so that the fuzzer keeps the input.
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                    -fno-omit-frame-pointer -O1 -g)
add_link_options(-fsanitize=address,undefined)
