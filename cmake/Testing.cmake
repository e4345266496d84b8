# GoogleTest for both builds. Natively Debian's packaged library is used; for the Windows
# build the sources that Debian ships are compiled with MinGW and the tests run under Wine.
if(WIN32)
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    # MinGW's default i686 compiler has no std::mutex; see tests/support/single-thread.
    target_include_directories(gtest SYSTEM BEFORE PUBLIC ${QUILL_ROOT}/tests/support/single-thread)
else()
    find_package(GTest REQUIRED)
endif()

# quill_test(name SOURCES ... LIBS ...): one GoogleTest executable registered with CTest.
function(quill_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
    quill_target(${name})
    # One process per test program: the programs build their sample data once, and under
    # Wine a start costs seconds. GoogleTest's own output names each case.
    add_test(NAME ${name} COMMAND ${name})
endfunction()
