# cmake -DKALVORO=… -DSCRIPT=… -DTRANSCRIPT=… -DEXPECTED=… -P run_script.cmake
# Runs a script whose printed transcript (message boxes, dialogs, dumps) or written files are
# part of what it checks: the run must end with status 0, print exactly TRANSCRIPT when that
# exists, and leave in the current folder every file of the folder EXPECTED, byte for byte.
execute_process(COMMAND ${KALVORO} --script ${SCRIPT}
                RESULT_VARIABLE status OUTPUT_VARIABLE printed ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "kalvoro --script ended with ${status}:\n${errors}${printed}")
endif()
if(IS_DIRECTORY ${EXPECTED})
  file(GLOB expected_files RELATIVE ${EXPECTED} ${EXPECTED}/*)
  foreach(name ${expected_files})
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${EXPECTED}/${name} ${name} RESULT_VARIABLE differs)
    if(differs)
      message(FATAL_ERROR "the run left ${name} different from ${EXPECTED}/${name} (or did not write it)")
    endif()
  endforeach()
endif()
if(NOT EXISTS ${TRANSCRIPT})
  return()
endif()
file(READ ${TRANSCRIPT} wanted)
if(NOT printed STREQUAL wanted)
  get_filename_component(name ${TRANSCRIPT} NAME)
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${name} "${printed}")
  message(FATAL_ERROR "the transcript differs from ${TRANSCRIPT}; the run printed (also in "
                      "${CMAKE_CURRENT_BINARY_DIR}/${name}):\n${printed}")
endif()
