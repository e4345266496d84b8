# The compression and suffix-sorting libraries, as the same three targets in both builds:
#   quill::zstd        zstd (the decoder goes into the patch library, the encoder into mkpatch)
#   quill::lzma        liblzma from xz-utils (likewise)
#   quill::divsufsort  libdivsufsort (builder only)
#   quill::sodium      libsodium (Ed25519 verification into the patch library, signing into
#                      mkpatch)
# Natively they are Debian's -dev packages. Debian has no MinGW builds of them, so the
# Windows build cross-compiles Debian's source packages, which scripts/install-deps.sh
# downloads and checks.
if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/ThirdPartyCross.cmake)
    return()
endif()

# quill_system_library(target header library): an imported target for an installed library.
function(quill_system_library target header library)
    find_path(${target}_INCLUDE ${header} REQUIRED)
    find_library(${target}_LIBRARY ${library} REQUIRED)
    add_library(quill::${target} INTERFACE IMPORTED GLOBAL)
    target_include_directories(quill::${target} SYSTEM INTERFACE ${${target}_INCLUDE})
    target_link_libraries(quill::${target} INTERFACE ${${target}_LIBRARY})
endfunction()

quill_system_library(zstd zstd.h zstd)
quill_system_library(lzma lzma.h lzma)
quill_system_library(divsufsort divsufsort.h divsufsort)
quill_system_library(sodium sodium.h sodium)
