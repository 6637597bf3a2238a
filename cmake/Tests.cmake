# GoogleTest is built from Debian's sources so that the same code serves the native and the
# mingw-w64 builds.
set(TRAYHOUND_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${TRAYHOUND_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
include(GoogleTest)

# The test doubles and helpers the tests, fuzz targets and benchmarks share.
add_library(trayhound_test_common STATIC tests/common/LinearIni.cpp tests/common/MemoryFileSystem.cpp
    tests/common/MemorySettingsStore.cpp tests/common/Windows1252Codec.cpp)
target_link_libraries(trayhound_test_common PUBLIC trayhound_core GTest::gtest)
target_include_directories(trayhound_test_common PUBLIC tests/common)

# One ctest test per test case shows each case in the summary; a whole test program per test
# saves the start of a process per case, which counts in the sanitizer build.
option(TRAYHOUND_TEST_PER_CASE "Register each GoogleTest case as a test of its own" ON)

# trayhound_test(<name> [RESOURCE_LOCK <resource>] <sources>...): one ctest test per test case;
# tests sharing a resource lock never run at the same time.
function(trayhound_test name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "RESOURCE_LOCK" "")
    add_executable(${name} ${arg_UNPARSED_ARGUMENTS})
    target_link_libraries(${name} PRIVATE trayhound_test_common GTest::gtest_main)
    if(MINGW)
        target_link_options(${name} PRIVATE -static)
    endif()
    set(properties LABELS ${name})
    if(arg_RESOURCE_LOCK)
        list(APPEND properties RESOURCE_LOCK ${arg_RESOURCE_LOCK})
    endif()
    if(TRAYHOUND_TEST_PER_CASE)
        gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
            PROPERTIES ${properties})
    else()
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES ${properties})
    endif()
endfunction()

# The portable core's tests run where the build runs; a cross build leaves them to the native one.
file(GLOB TRAYHOUND_UNIT_TESTS CONFIGURE_DEPENDS tests/unit/*.cpp)
if(TRAYHOUND_UNIT_TESTS AND NOT CMAKE_CROSSCOMPILING)
    trayhound_test(unit_tests ${TRAYHOUND_UNIT_TESTS})
endif()

if(WIN32)
    file(GLOB TRAYHOUND_WINE_TESTS CONFIGURE_DEPENDS tests/wine/*.cpp)
    if(TRAYHOUND_WINE_TESTS)
        # Some of them change the prefix's user data (the AppData value, the program's own folder
        # and settings), so they run one at a time; other tests still run beside them.
        trayhound_test(wine_tests RESOURCE_LOCK wine_user_data ${TRAYHOUND_WINE_TESTS})
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
if(Python3_Interpreter_FOUND)
    add_test(NAME artwork_is_current
        COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/res/make_artwork.py --check)
    set_tests_properties(artwork_is_current PROPERTIES LABELS artwork TIMEOUT 900)
endif()

# Saving under hard kills, against the real file system: the test starts a saver program and
# kills it at random moments.
if(WIN32)
    add_executable(crash_saver tests/crash/CrashSaver.cpp)
    add_executable(crash_tests tests/crash/CrashSafeSaveTest.cpp)
    foreach(target crash_saver crash_tests)
        target_link_libraries(${target} PRIVATE trayhound_win32 trayhound_test_common)
        target_link_options(${target} PRIVATE -static)
    endforeach()
    target_link_libraries(crash_tests PRIVATE GTest::gtest_main)
    add_dependencies(crash_tests crash_saver)
    gtest_discover_tests(crash_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
        PROPERTIES LABELS crash_tests TIMEOUT 900)
endif()
