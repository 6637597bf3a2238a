# The Win32 layer and the executable.
set(TRAYHOUND_WIN32_DEFINITIONS UNICODE _UNICODE STRICT NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0A00
    WINVER=0x0A00)

file(GLOB TRAYHOUND_WIN32_SOURCES CONFIGURE_DEPENDS src/*/win32/*.cpp)

add_library(trayhound_win32 STATIC ${TRAYHOUND_WIN32_SOURCES})
target_link_libraries(trayhound_win32 PUBLIC trayhound_core)
target_compile_definitions(trayhound_win32 PUBLIC ${TRAYHOUND_WIN32_DEFINITIONS})
target_compile_definitions(trayhound_core PUBLIC ${TRAYHOUND_WIN32_DEFINITIONS})
target_link_libraries(trayhound_win32 PUBLIC shell32 user32 gdi32 advapi32 ole32 oleaut32 uuid
    windowscodecs shlwapi version)

# The common controls and the common dialogs are loaded when the first dialog opens, not at
# start: a tray program mostly waits. Under Wine, comctl32 registers all of its classes and
# themes as it loads, and comdlg32 brings the print spooler and with it the system's printing,
# TLS and Kerberos libraries; at start the two cost more memory than all of the program's own
# code. The manifest's activation context still selects comctl32 version 6 when it loads.
set(TRAYHOUND_DELAYLOAD comctl32 comdlg32)
if(MSVC)
    target_link_libraries(trayhound_win32 PUBLIC ${TRAYHOUND_DELAYLOAD} delayimp)
    foreach(dll ${TRAYHOUND_DELAYLOAD})
        target_link_options(trayhound_win32 INTERFACE /DELAYLOAD:${dll}.dll)
    endforeach()
elseif(MINGW)
    foreach(dll ${TRAYHOUND_DELAYLOAD})
        set(def ${CMAKE_SOURCE_DIR}/cmake/delayload/${dll}.def)
        set(lib ${CMAKE_BINARY_DIR}/delayload/lib${dll}_delay.a)
        add_custom_command(OUTPUT ${lib}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/delayload
            COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --output-delaylib ${lib}
            DEPENDS ${def}
            COMMENT "Delay-load import library for ${dll}.dll")
        add_custom_target(${dll}_delayload DEPENDS ${lib})
        add_dependencies(trayhound_win32 ${dll}_delayload)
        target_link_libraries(trayhound_win32 PUBLIC ${lib})
    endforeach()
else()
    target_link_libraries(trayhound_win32 PUBLIC ${TRAYHOUND_DELAYLOAD})
endif()
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
add_executable(Trayhound WIN32 src/WinMain.cpp ${TRAYHOUND_RC})
target_link_libraries(Trayhound PRIVATE trayhound_win32)
if(MINGW)
    target_link_options(Trayhound PRIVATE -municode -static)
endif()

include(cmake/HelpFile.cmake)

if(NOT CMAKE_HOST_WIN32)
    # Tests built for Windows run under Wine, in a private prefix inside the build folder; a run
    # that Wine failed to start is tried again.
    set(TRAYHOUND_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
    set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${TRAYHOUND_WINEPREFIX} WINE_RUN_RETRIES=2
        ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
endif()

include(cmake/Package.cmake)
