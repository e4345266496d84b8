# The Windows build's zstd, liblzma, libdivsufsort and libsodium, as quill::zstd,
# quill::lzma, quill::divsufsort and quill::sodium: Debian's source packages, fetched, checked and unpacked with Debian's
# patches by scripts/third-party-sources.sh into build/third-party/. All are static
# libraries built with this build's toolchain.
set(QUILL_THIRD_PARTY_SOURCES ${QUILL_ROOT}/build/third-party CACHE PATH
    "Where scripts/third-party-sources.sh unpacked Debian's source packages")

# The unpacked tree of a Debian source package, or a stop with what to run.
function(quill_third_party_tree variable package)
    set(tree ${QUILL_THIRD_PARTY_SOURCES}/${package})
    if(NOT EXISTS ${tree}/.debian-source)
        message(FATAL_ERROR "${tree} is missing: run scripts/third-party-sources.sh")
    endif()
    set(${variable} ${tree} PARENT_SCOPE)
endfunction()

# zstd from its compressor, decompressor and common sources only. Its own CMake files would
# add its dictionary builder, which carries a copy of divsufsort under the same symbol names
# as libdivsufsort: in one static link with both, either could be taken.
quill_third_party_tree(zstd_tree libzstd)
file(GLOB zstd_sources CONFIGURE_DEPENDS
    ${zstd_tree}/lib/common/*.c ${zstd_tree}/lib/compress/*.c ${zstd_tree}/lib/decompress/*.c)
add_library(quill_zstd STATIC ${zstd_sources})
# As zstd's own build does: a private name for its xxHash, and no legacy formats. It uses
# its assembly only on Linux and macOS, and threads only when asked to.
target_compile_definitions(quill_zstd PRIVATE XXH_NAMESPACE=ZSTD_ ZSTD_LEGACY_SUPPORT=0)
target_include_directories(quill_zstd SYSTEM INTERFACE ${zstd_tree}/lib)
add_library(quill::zstd ALIAS quill_zstd)

# liblzma and libdivsufsort by their own CMake files, each in a build folder of its own
# (<build>/third-party/<name>), so that none of this project's settings reach them.
include(ExternalProject)

# quill_external_library(name SOURCE <dir with its CMakeLists.txt> TARGET <its library target>
#     LIBRARY <the library, in its build folder> INCLUDES <dirs> [DEFINES ...] [OPTIONS ...])
function(quill_external_library name)
    cmake_parse_arguments(L "" "SOURCE;TARGET;LIBRARY" "INCLUDES;DEFINES;OPTIONS" ${ARGN})
    set(build ${CMAKE_BINARY_DIR}/third-party/${name})
    # The toolchain file may be given relative to the folder cmake was started in.
    get_filename_component(toolchain ${CMAKE_TOOLCHAIN_FILE} ABSOLUTE BASE_DIR ${CMAKE_SOURCE_DIR})
    ExternalProject_Add(${name}_cross
        SOURCE_DIR ${L_SOURCE}
        BINARY_DIR ${build}
        CMAKE_ARGS
            -DCMAKE_TOOLCHAIN_FILE=${toolchain}
            -DCMAKE_MAKE_PROGRAM=${CMAKE_MAKE_PROGRAM}
            -DCMAKE_BUILD_TYPE=Release
            -DBUILD_SHARED_LIBS=OFF
            -DBUILD_TESTING=OFF
            -Wno-dev
            ${L_OPTIONS}
        BUILD_COMMAND ${CMAKE_COMMAND} --build ${build} --target ${L_TARGET}
        BUILD_BYPRODUCTS ${build}/${L_LIBRARY}
        INSTALL_COMMAND ""
        # Its own build notices a changed unpacked tree (another pin) and builds again.
        BUILD_ALWAYS ON
        CONFIGURE_HANDLED_BY_BUILD ON
        LOG_CONFIGURE ON
        LOG_BUILD ON
        LOG_OUTPUT_ON_FAILURE ON)
    add_library(quill_${name} INTERFACE)
    target_include_directories(quill_${name} SYSTEM INTERFACE ${L_INCLUDES})
    target_compile_definitions(quill_${name} INTERFACE ${L_DEFINES})
    target_link_libraries(quill_${name} INTERFACE ${build}/${L_LIBRARY})
    # Followed by every target that links quill_${name}: the library is built first.
    add_dependencies(quill_${name} ${name}_cross)
    add_library(quill::${name} ALIAS quill_${name})
endfunction()

quill_third_party_tree(lzma_tree xz-utils)
quill_external_library(lzma
    SOURCE ${lzma_tree}
    TARGET liblzma
    LIBRARY liblzma.a
    INCLUDES ${lzma_tree}/src/liblzma/api
    DEFINES LZMA_API_STATIC)

quill_third_party_tree(divsufsort_tree libdivsufsort)
quill_external_library(divsufsort
    SOURCE ${divsufsort_tree}
    TARGET divsufsort
    LIBRARY lib/libdivsufsort.a
    INCLUDES ${CMAKE_BINARY_DIR}/third-party/divsufsort/include
    OPTIONS -DBUILD_EXAMPLES=OFF)

# libsodium by its own autotools build, the way it supports: the tree is copied into the
# build folder (autoreconf writes into it), configured for this toolchain as a static library
# of its smaller set of primitives (Ed25519 and SHA-512 are among them). Each function in a
# section of its own, so that the patch library, linked with --gc-sections, keeps only what
# verification reaches.
quill_third_party_tree(sodium_tree libsodium)
set(sodium_build ${CMAKE_BINARY_DIR}/third-party/sodium)
get_filename_component(sodium_host ${CMAKE_C_COMPILER} NAME)
string(REGEX REPLACE "-gcc$" "" sodium_host ${sodium_host})
ExternalProject_Add(sodium_cross
    SOURCE_DIR ${sodium_tree}
    BINARY_DIR ${sodium_build}/build
    CONFIGURE_COMMAND ${CMAKE_COMMAND} -E rm -rf ${sodium_build}/source
        COMMAND ${CMAKE_COMMAND} -E copy_directory ${sodium_tree} ${sodium_build}/source
        COMMAND sh -c "cd '${sodium_build}/source' && autoreconf -fi"
        COMMAND ${sodium_build}/source/configure --host=${sodium_host}
            --prefix=${sodium_build}/install --disable-shared --enable-static --enable-minimal
            --disable-dependency-tracking --with-pic=no
            "CFLAGS=-O2 -ffunction-sections -fdata-sections"
    BUILD_COMMAND make -j 2
    INSTALL_COMMAND make install
    BUILD_BYPRODUCTS ${sodium_build}/install/lib/libsodium.a
    LOG_CONFIGURE ON
    LOG_BUILD ON
    LOG_INSTALL ON
    LOG_OUTPUT_ON_FAILURE ON)
file(MAKE_DIRECTORY ${sodium_build}/install/include)
add_library(quill_sodium INTERFACE)
target_include_directories(quill_sodium SYSTEM INTERFACE ${sodium_build}/install/include)
target_compile_definitions(quill_sodium INTERFACE SODIUM_STATIC)
target_link_libraries(quill_sodium INTERFACE ${sodium_build}/install/lib/libsodium.a advapi32)
add_dependencies(quill_sodium sodium_cross)
add_library(quill::sodium ALIAS quill_sodium)
