# cmake -DKALVORO=… -DSOURCE=tests/scripts -DWORK=… -P statements_like_the_screen.cmake
# The statement files of `kalvoro statements` for the order the statements script sends by mail
# must be the very files that script writes from the statement screen.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${KALVORO} statements ${SOURCE}/statements.expected/メール添付用.TXT --out ${WORK}
                        --today 2026-12-07
                RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "kalvoro statements ended with ${status}: ${errors}")
endif()
foreach(name 明細書.TXT 見積書.TXT)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${SOURCE}/statements.expected/${name} ${WORK}/${name}
                  RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "${name} differs from the one the statement screen writes")
  endif()
endforeach()
