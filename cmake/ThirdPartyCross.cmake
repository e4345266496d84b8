# The Windows build's zstd, liblzma and libdivsufsort, as quill::zstd, quill::lzma and
# quill::divsufsort: Debian's source packages, fetched, checked and unpacked with Debian's
# patches by scripts/third-party-sources.sh into build/third-party/. Each is built by its
# own CMake files as a static library, with this build's toolchain, in a build folder of its
# own (<build>/third-party/<name>), so that none of this project's settings reach it.
include(ExternalProject)

set(QUILL_THIRD_PARTY_SOURCES ${QUILL_ROOT}/build/third-party CACHE PATH
    "Where scripts/third-party-sources.sh unpacked Debian's source packages")

# quill_cross_library(name SOURCE <dir with its CMakeLists.txt> TARGET <its library target>
#     LIBRARY <the library, in its build folder> INCLUDES <dirs> [DEFINES ...] [OPTIONS ...])
function(quill_cross_library name)
    cmake_parse_arguments(L "" "SOURCE;TARGET;LIBRARY" "INCLUDES;DEFINES;OPTIONS" ${ARGN})
    if(NOT EXISTS ${L_SOURCE}/CMakeLists.txt)
        message(FATAL_ERROR "${L_SOURCE} is missing: run scripts/third-party-sources.sh")
    endif()
    set(build ${CMAKE_BINARY_DIR}/third-party/${name})
    ExternalProject_Add(${name}_cross
        SOURCE_DIR ${L_SOURCE}
        BINARY_DIR ${build}
        CMAKE_ARGS
            -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
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

set(zstd_source ${QUILL_THIRD_PARTY_SOURCES}/libzstd)
quill_cross_library(zstd
    SOURCE ${zstd_source}/build/cmake
    TARGET libzstd_static
    LIBRARY lib/libzstd.a
    INCLUDES ${zstd_source}/lib
    OPTIONS -DZSTD_BUILD_STATIC=ON -DZSTD_BUILD_SHARED=OFF -DZSTD_BUILD_PROGRAMS=OFF
            -DZSTD_BUILD_TESTS=OFF -DZSTD_LEGACY_SUPPORT=OFF -DZSTD_MULTITHREAD_SUPPORT=OFF)

set(lzma_source ${QUILL_THIRD_PARTY_SOURCES}/xz-utils)
quill_cross_library(lzma
    SOURCE ${lzma_source}
    TARGET liblzma
    LIBRARY liblzma.a
    INCLUDES ${lzma_source}/src/liblzma/api
    DEFINES LZMA_API_STATIC)

set(divsufsort_build ${CMAKE_BINARY_DIR}/third-party/divsufsort)
quill_cross_library(divsufsort
    SOURCE ${QUILL_THIRD_PARTY_SOURCES}/libdivsufsort
    TARGET divsufsort
    LIBRARY lib/libdivsufsort.a
    INCLUDES ${divsufsort_build}/include
    OPTIONS -DBUILD_EXAMPLES=OFF)
