# cmake -DEXE=<Trayhound.exe> -DCHM=<Trayhound.chm> -DREADME=<README.txt> -DSAMPLES=<samples>
#       -DSTAGE=<folder> -DOUTPUT=<zip> -P PortableZip.cmake
#
# The portable zip holds the files at its top, as a user unpacks them into a folder of their own
# choice. Files are copied as they are: the icon set's CR LF line ends stay.
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE}/Samples)
file(COPY_FILE ${EXE} ${STAGE}/Trayhound.exe)
file(COPY_FILE ${CHM} ${STAGE}/Trayhound.chm)
file(COPY_FILE ${README} ${STAGE}/README.txt)
file(COPY ${SAMPLES}/Classic DESTINATION ${STAGE}/Samples)

file(REMOVE ${OUTPUT})
file(GLOB_RECURSE entries LIST_DIRECTORIES false RELATIVE ${STAGE} ${STAGE}/*)
list(SORT entries)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${OUTPUT} --format=zip -- ${entries}
    WORKING_DIRECTORY ${STAGE}
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    file(REMOVE ${OUTPUT})
    message(FATAL_ERROR "Could not pack ${OUTPUT}")
endif()
