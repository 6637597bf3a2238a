# GoogleTest is built from Debian's sources so that the same code serves the native and the
# mingw-w64 builds.
set(TRAYHOUND_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${TRAYHOUND_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
include(GoogleTest)

# The test doubles and helpers the tests, fuzz targets and benchmarks share.
add_library(trayhound_test_common STATIC tests/common/LinearIni.cpp tests/common/MemoryFileSystem.cpp
    tests/common/Windows1252Codec.cpp)
target_link_libraries(trayhound_test_common PUBLIC trayhound_core GTest::gtest)
target_include_directories(trayhound_test_common PUBLIC tests/common)

# trayhound_test(<name> <sources>...): a GoogleTest program. Natively each test case is a ctest
# test of its own; a Windows program runs as one test, as every process start costs more under
# Wine (and discovering the cases would start Wine before the prefix is set up).
function(trayhound_test name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE trayhound_test_common GTest::gtest_main)
    if(MINGW)
        target_link_options(${name} PRIVATE -static)
    endif()
    if(WIN32)
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES LABELS ${name} FIXTURES_REQUIRED wine_prefix)
    else()
        gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
            PROPERTIES LABELS ${name})
    endif()
endfunction()

# The portable core's tests run where the build runs; a cross build leaves them to the native one.
file(GLOB TRAYHOUND_UNIT_TESTS CONFIGURE_DEPENDS tests/unit/*.cpp)
if(TRAYHOUND_UNIT_TESTS AND NOT CMAKE_CROSSCOMPILING)
    trayhound_test(unit_tests ${TRAYHOUND_UNIT_TESTS})
endif()

if(WIN32)
    if(NOT CMAKE_HOST_WIN32)
        # Every Windows test runs in the build's Wine prefix: booted and started before the first,
        # ended after the last, so that no Wine process outlives the run.
        set(prefix_tool ${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh)
        add_test(NAME wine_prefix_start COMMAND ${prefix_tool} start ${TRAYHOUND_WINEPREFIX})
        add_test(NAME wine_prefix_stop COMMAND ${prefix_tool} stop ${TRAYHOUND_WINEPREFIX})
        set_tests_properties(wine_prefix_start PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 600)
        set_tests_properties(wine_prefix_stop PROPERTIES FIXTURES_CLEANUP wine_prefix)
    endif()
    file(GLOB TRAYHOUND_WINE_TESTS CONFIGURE_DEPENDS tests/wine/*.cpp)
    if(TRAYHOUND_WINE_TESTS)
        trayhound_test(wine_tests ${TRAYHOUND_WINE_TESTS})
        target_link_libraries(wine_tests PRIVATE trayhound_win32)
        # The program's resources and manifest, so that the Win32 code under test finds its
        # pictures and runs with the common controls and DPI awareness of Trayhound.exe.
        target_sources(wine_tests PRIVATE ${TRAYHOUND_RC})
    endif()
    if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/CMakeLists.txt)
        add_subdirectory(tests/e2e)
        # The setup program installed and removed in a fresh prefix with the e2e session.
        if(TRAYHOUND_SETUP_EXE AND TARGET packages)
            add_subdirectory(tests/install)
        endif()
    endif()
endif()

# The committed pictures must be what res/make_artwork.py draws.
find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND AND NOT CMAKE_CROSSCOMPILING)
    add_test(NAME artwork_is_current
        COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/res/make_artwork.py --check)
    set_tests_properties(artwork_is_current PROPERTIES LABELS artwork TIMEOUT 120)
endif()
if(NOT CMAKE_CROSSCOMPILING)
    # No file includes a header of a subsystem above its own.
    add_test(NAME layers COMMAND ${CMAKE_SOURCE_DIR}/tests/check-layers.sh)
endif()

# Saving under hard kills, against the real file system: the test starts a saver program and
# kills it at random moments.
if(WIN32)
    add_executable(crash_saver tests/crash/CrashSaver.cpp)
    add_executable(crash_tests tests/crash/CrashSafeSaveTest.cpp)
    foreach(target crash_saver crash_tests)
        target_link_libraries(${target} PRIVATE trayhound_win32 trayhound_test_common)
        if(MINGW)
            target_link_options(${target} PRIVATE -static)
        endif()
    endforeach()
    target_link_libraries(crash_tests PRIVATE GTest::gtest_main)
    add_dependencies(crash_tests crash_saver)
    add_test(NAME crash_tests COMMAND crash_tests)
    set_tests_properties(crash_tests PROPERTIES LABELS crash_tests FIXTURES_REQUIRED wine_prefix)
endif()
