# Trayhound.chm, compiled from help/ with chmcmd (Debian package fp-utils) and placed beside
# Trayhound.exe under the executable's own name, where the Help command looks for it.
find_program(TRAYHOUND_CHMCMD chmcmd)
if(NOT TRAYHOUND_CHMCMD)
    message(WARNING "chmcmd not found (Debian package fp-utils): the help file is not built")
    return()
endif()

file(GLOB TRAYHOUND_HELP_SOURCES CONFIGURE_DEPENDS help/*)
set(TRAYHOUND_HELP_CHM ${CMAKE_BINARY_DIR}/help/Trayhound.chm)
add_custom_command(OUTPUT ${TRAYHOUND_HELP_CHM}
    COMMAND ${CMAKE_COMMAND} -DCHMCMD=${TRAYHOUND_CHMCMD}
        -DPROJECT_FILE=${CMAKE_SOURCE_DIR}/help/Trayhound.hhp -DOUTPUT=${TRAYHOUND_HELP_CHM}
        -P ${CMAKE_SOURCE_DIR}/cmake/CompileHelp.cmake
    DEPENDS ${TRAYHOUND_HELP_SOURCES} ${CMAKE_SOURCE_DIR}/cmake/CompileHelp.cmake
    COMMENT "Compiling Trayhound.chm"
    VERBATIM)
add_custom_target(TrayhoundHelp ALL
    COMMAND ${CMAKE_COMMAND} -E make_directory $<TARGET_FILE_DIR:Trayhound>
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TRAYHOUND_HELP_CHM}
        $<TARGET_FILE_DIR:Trayhound>/$<TARGET_FILE_BASE_NAME:Trayhound>.chm
    DEPENDS ${TRAYHOUND_HELP_CHM}
    VERBATIM)
