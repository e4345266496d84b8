# Cross build for 64-bit Windows with MinGW-w64: the Windows tests' build on machines that
# run no 32-bit code (tests/wine/windows-arch.sh).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MingwToolchain.cmake)
