# SPDX-License-Identifier: GPL-3.0-or-later
# Warnings apply to every target of ours; the sanitizer build turns them into errors.
add_compile_options(-Wall -Wextra)
if(LUMIVANE_SANITIZE)
    add_compile_options(-Werror -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
add_compile_definitions(QT_NO_KEYWORDS_FOR_SIGNALS=0 QT_DISABLE_DEPRECATED_BEFORE=0x050F00)

# Folder libraries: lumivane_add_library(NAME [WIDGETS] SOURCES ... LIBS ...)
# Only pages/ and app/ may pass WIDGETS; everything else stays on QtCore.
function(lumivane_add_library name)
    cmake_parse_arguments(ARG "WIDGETS" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC Qt6::Core ${ARG_LIBS})
    if(ARG_WIDGETS)
        target_link_libraries(${name} PUBLIC Qt6::Widgets)
    endif()
endfunction()
