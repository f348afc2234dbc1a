# cmake -DKALVORO=… -DSCRIPT=… -DTRANSCRIPT=… -P run_script.cmake
# Runs a script whose printed transcript (message boxes, dialogs, dumps) is part of what it
# checks: the run must end with status 0 and print exactly TRANSCRIPT.
execute_process(COMMAND ${KALVORO} --script ${SCRIPT}
                RESULT_VARIABLE status OUTPUT_VARIABLE printed ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "kalvoro --script ended with ${status}:\n${errors}${printed}")
endif()
file(READ ${TRANSCRIPT} wanted)
if(NOT printed STREQUAL wanted)
  get_filename_component(name ${TRANSCRIPT} NAME)
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${name} "${printed}")
  message(FATAL_ERROR "the transcript differs from ${TRANSCRIPT}; the run printed (also in "
                      "${CMAKE_CURRENT_BINARY_DIR}/${name}):\n${printed}")
endif()
