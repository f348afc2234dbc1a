# cmake -DKALVORO=… "-DARGS=totals|ORDER|…" -DSTATUS=N -DERROR=REGEX -P exit_status.cmake
# The program as a shop script runs it: the exit status must be exactly N, for a script tells a
# command line it got wrong (2) from an order it could not price (1), and standard error must say
# why. Nothing may be printed as if the order had been priced.
string(REPLACE "|" ";" ARGS "${ARGS}")
execute_process(COMMAND ${KALVORO} ${ARGS} RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT status EQUAL STATUS)
  message(FATAL_ERROR "kalvoro ${ARGS} ended with ${status}, not ${STATUS}: ${errors}")
endif()
if(NOT errors MATCHES "${ERROR}" OR NOT output STREQUAL "")
  message(FATAL_ERROR "kalvoro ${ARGS} printed \"${output}\" and said \"${errors}\"")
endif()
