# The Win32 layer and the executable.
set(TRAYHOUND_WIN32_DEFINITIONS UNICODE _UNICODE STRICT NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0A00
    WINVER=0x0A00)

file(GLOB TRAYHOUND_WIN32_SOURCES CONFIGURE_DEPENDS src/*/win32/*.cpp)
list(FILTER TRAYHOUND_WIN32_SOURCES EXCLUDE REGEX "/src/app/win32/WinMain\\.cpp$")
add_library(trayhound_win32 STATIC ${TRAYHOUND_WIN32_SOURCES})
target_link_libraries(trayhound_win32 PUBLIC trayhound_core)
target_compile_definitions(trayhound_win32 PUBLIC ${TRAYHOUND_WIN32_DEFINITIONS})
target_compile_definitions(trayhound_core PUBLIC ${TRAYHOUND_WIN32_DEFINITIONS})
target_link_libraries(trayhound_win32 PUBLIC shell32 user32 gdi32 comctl32 comdlg32 advapi32 ole32
    oleaut32 uuid windowscodecs shlwapi version)
# res/resource.h names the resources for the Win32 code and for the resource compiler alike; the
# resource script finds its pictures and manifest through the same include path.
target_include_directories(trayhound_win32 PUBLIC res)

set(TRAYHOUND_RESOURCES)
file(GLOB TRAYHOUND_RC CONFIGURE_DEPENDS res/*.rc)
file(GLOB TRAYHOUND_RESOURCE_FILES CONFIGURE_DEPENDS res/*.ico res/*.cur res/*.bmp res/*.manifest
    res/internal/*.bmp)
# The compiler's dependency scan sees only #include, not the files that ICON, BITMAP, CURSOR and
# RT_MANIFEST statements pull in.
set_source_files_properties(${TRAYHOUND_RC} PROPERTIES OBJECT_DEPENDS
    "${TRAYHOUND_RESOURCE_FILES};${CMAKE_SOURCE_DIR}/res/resource.h")
add_executable(Trayhound WIN32 src/app/win32/WinMain.cpp ${TRAYHOUND_RC})
target_link_libraries(Trayhound PRIVATE trayhound_win32)
if(MINGW)
    target_link_options(Trayhound PRIVATE -municode -static)
endif()

include(cmake/HelpFile.cmake)

if(NOT CMAKE_HOST_WIN32)
    # Tests built for Windows run under Wine, in a private prefix inside the build folder.
    set(TRAYHOUND_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
    set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${TRAYHOUND_WINEPREFIX}
        ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
endif()

include(cmake/Package.cmake)
