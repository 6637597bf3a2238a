# cmake -DCHMCMD=<chmcmd> -DPROJECT_FILE=<.hhp> -DOUTPUT=<.chm> -P CompileHelp.cmake
#
# chmcmd writes the "Compiled file" of the project relative to its working folder, answers 0
# even when a page links to a file that does not exist (it only warns), and leaves a partial
# file behind when it fails. So: compile in the output's folder, treat every warning as an
# error, and never leave a file that could pass for an up-to-date help file.
get_filename_component(work_dir ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${work_dir})
file(REMOVE ${OUTPUT})
execute_process(COMMAND ${CHMCMD} ${PROJECT_FILE}
    WORKING_DIRECTORY ${work_dir}
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR output MATCHES "Warning|Error|exception")
    file(REMOVE ${OUTPUT})
    message(FATAL_ERROR "chmcmd failed (exit code ${result}):\n${output}")
endif()
if(NOT EXISTS ${OUTPUT})
    message(FATAL_ERROR "chmcmd did not write ${OUTPUT}; check 'Compiled file' in ${PROJECT_FILE}")
endif()
