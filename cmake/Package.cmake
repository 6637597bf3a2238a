# The packages a Windows user downloads, built into <build>/package by the target `packages`:
#   Trayhound-<version>-portable.zip  Trayhound.exe, Trayhound.chm, README.txt, Samples\Classic
#   Trayhound-<version>-setup.exe     installer/Trayhound.nsi compiled with makensis (Debian nsis)
# scripts/package.sh builds them from a fresh checkout.
if(NOT TARGET TrayhoundHelp)
    message(WARNING "No help file, so no packages: install chmcmd (Debian package fp-utils)")
    return()
endif()

# The version is the one Trayhound.exe carries: FILEVERSION major, minor, 0, revision.
file(STRINGS ${CMAKE_SOURCE_DIR}/res/Trayhound.rc TRAYHOUND_FILEVERSION_LINE REGEX "^FILEVERSION ")
if(NOT TRAYHOUND_FILEVERSION_LINE MATCHES "^FILEVERSION ([0-9]+), *([0-9]+), *0, *([0-9]+)$")
    message(FATAL_ERROR "res/Trayhound.rc: no FILEVERSION major, minor, 0, revision line")
endif()
set(TRAYHOUND_VERSION_MAJOR ${CMAKE_MATCH_1})
set(TRAYHOUND_VERSION_MINOR ${CMAKE_MATCH_2})
set(TRAYHOUND_VERSION_REVISION ${CMAKE_MATCH_3})
set(TRAYHOUND_PACKAGE_VERSION ${TRAYHOUND_VERSION_MAJOR}.${TRAYHOUND_VERSION_MINOR})

set(TRAYHOUND_PACKAGE_DIR ${CMAKE_BINARY_DIR}/package)
set(TRAYHOUND_PORTABLE_ZIP ${TRAYHOUND_PACKAGE_DIR}/Trayhound-${TRAYHOUND_PACKAGE_VERSION}-portable.zip)
file(GLOB_RECURSE TRAYHOUND_SAMPLE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/samples/Classic/*)

# Windows users open README.txt in Notepad: CR LF line ends.
set(TRAYHOUND_README ${TRAYHOUND_PACKAGE_DIR}/README.txt)
configure_file(${CMAKE_SOURCE_DIR}/installer/README.txt.in ${TRAYHOUND_README} @ONLY NEWLINE_STYLE CRLF)

add_custom_command(OUTPUT ${TRAYHOUND_PORTABLE_ZIP}
    COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:Trayhound> -DCHM=${TRAYHOUND_HELP_CHM}
        -DREADME=${TRAYHOUND_README} -DSAMPLES=${CMAKE_SOURCE_DIR}/samples
        -DSTAGE=${TRAYHOUND_PACKAGE_DIR}/portable -DOUTPUT=${TRAYHOUND_PORTABLE_ZIP}
        -P ${CMAKE_SOURCE_DIR}/cmake/PortableZip.cmake
    DEPENDS Trayhound ${TRAYHOUND_HELP_CHM} ${TRAYHOUND_README} ${TRAYHOUND_SAMPLE_FILES}
        ${CMAKE_SOURCE_DIR}/cmake/PortableZip.cmake
    COMMENT "Packing ${TRAYHOUND_PORTABLE_ZIP}"
    VERBATIM)
set(TRAYHOUND_PACKAGES ${TRAYHOUND_PORTABLE_ZIP})

find_program(TRAYHOUND_MAKENSIS makensis)
if(TRAYHOUND_MAKENSIS)
    set(TRAYHOUND_SETUP_EXE ${TRAYHOUND_PACKAGE_DIR}/Trayhound-${TRAYHOUND_PACKAGE_VERSION}-setup.exe)
    # -WX: a warning (an unused variable, an unsafe file name) fails the build.
    add_custom_command(OUTPUT ${TRAYHOUND_SETUP_EXE}
        COMMAND ${TRAYHOUND_MAKENSIS} -INPUTCHARSET UTF8 -WX -V2
            -DVERSION_MAJOR=${TRAYHOUND_VERSION_MAJOR} -DVERSION_MINOR=${TRAYHOUND_VERSION_MINOR}
            -DVERSION_REVISION=${TRAYHOUND_VERSION_REVISION}
            -DEXE=$<TARGET_FILE:Trayhound> -DCHM=${TRAYHOUND_HELP_CHM}
            -DSAMPLES=${CMAKE_SOURCE_DIR}/samples -DICON=${CMAKE_SOURCE_DIR}/res/Trayhound.ico
            -DOUTFILE=${TRAYHOUND_SETUP_EXE}
            ${CMAKE_SOURCE_DIR}/installer/Trayhound.nsi
        DEPENDS Trayhound ${TRAYHOUND_HELP_CHM} ${TRAYHOUND_SAMPLE_FILES}
            ${CMAKE_SOURCE_DIR}/installer/Trayhound.nsi ${CMAKE_SOURCE_DIR}/res/Trayhound.ico
        COMMENT "Compiling ${TRAYHOUND_SETUP_EXE}"
        VERBATIM)
    list(APPEND TRAYHOUND_PACKAGES ${TRAYHOUND_SETUP_EXE})
else()
    message(WARNING "makensis not found (Debian package nsis): the setup program is not built; "
        "scripts/package.sh installs it")
endif()

add_custom_target(packages ALL DEPENDS ${TRAYHOUND_PACKAGES})

# The names of this version's packages, for scripts/package.sh.
list(TRANSFORM TRAYHOUND_PACKAGES REPLACE "^.*/" "" OUTPUT_VARIABLE TRAYHOUND_PACKAGE_NAMES)
list(JOIN TRAYHOUND_PACKAGE_NAMES "\n" TRAYHOUND_PACKAGE_NAMES)
file(CONFIGURE OUTPUT ${TRAYHOUND_PACKAGE_DIR}/packages.txt CONTENT "${TRAYHOUND_PACKAGE_NAMES}\n")
