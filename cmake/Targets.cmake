# Every target of the project calls this: one place for warnings and the static runtime.
function(quill_target target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    if(QUILL_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    get_target_property(kind ${target} TYPE)
    if(WIN32 AND (kind STREQUAL "EXECUTABLE" OR kind STREQUAL "SHARED_LIBRARY"))
        # Only Windows' own DLLs may be needed beside the program: no MinGW runtime DLL.
        target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
        # Released programs carry no symbol table: the player downloads less, and a patch
        # between two releases has no table of moved addresses to spell out.
        target_link_options(${target} PRIVATE $<$<CONFIG:Release>:-s>)
    endif()
endfunction()

# quill_library(name SOURCES ... [PUBLIC ...] [PRIVATE ...]): a static library of the calling
# folder's sources, whose headers its users include by their names, linking the libraries
# listed; the shape of nearly every library of the project.
function(quill_library name)
    cmake_parse_arguments(L "" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
    add_library(${name} STATIC ${L_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    if(L_PUBLIC)
        target_link_libraries(${name} PUBLIC ${L_PUBLIC})
    endif()
    if(L_PRIVATE)
        target_link_libraries(${name} PRIVATE ${L_PRIVATE})
    endif()
    quill_target(${name})
endfunction()
