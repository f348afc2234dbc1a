# The program built for an install whose libexec folder is not the usual one, installed into a
# folder of its own: `kalvoro totals` finds the batch commands' program where that install put
# it, and without it names every place it looked and ends with 127, as a shell does for a
# command it cannot find. Only the top folder's programs are built and installed (the desktop
# files have their own test); the build shares the compiler cache with the main one.
# cmake -DSOURCE=… -DWORK=… -DGENERATOR=… -DCXX=… -DLAUNCHER=… -DTYPE=… -P libexec_elsewhere.cmake
file(REMOVE_RECURSE ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${WORK}/build -G ${GENERATOR} -DCMAKE_BUILD_TYPE=${TYPE}
                        -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER}
                        -DKALVORO_TESTS=OFF -DKALVORO_BENCH=OFF -DCMAKE_INSTALL_LIBEXECDIR=lib/helpers
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK}/build --target kalvoro -j 2 OUTPUT_QUIET
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CMAKE_COMMAND} -DCMAKE_INSTALL_PREFIX=${WORK}/prefix -DCMAKE_INSTALL_LOCAL_ONLY=ON
                        -P ${WORK}/build/cmake_install.cmake OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)

set(helper ${WORK}/prefix/lib/helpers/kalvoro/kalvoro-batch)
execute_process(COMMAND printf "\\x8a\\x84\\x88\\xf8\\x8c\\x94:0\\r\\n012,1000,200,1,x\\r\\n"  # 割引券:0 in Shift-JIS
                OUTPUT_FILE ${WORK}/order.SAV)
set(totals ${WORK}/prefix/bin/kalvoro totals --today 2026-12-08 ${WORK}/order.SAV)
execute_process(COMMAND ${totals} RESULT_VARIABLE status OUTPUT_VARIABLE said ERROR_VARIABLE errors)
if(NOT status EQUAL 0 OR NOT said MATCHES "\nGRAND_TOTAL=1550\n$")
  message(FATAL_ERROR "the installed kalvoro totals ended with ${status}: ${said}${errors}")
endif()

file(REMOVE ${helper})
execute_process(COMMAND ${totals} RESULT_VARIABLE status OUTPUT_VARIABLE said ERROR_VARIABLE errors)
if(NOT status EQUAL 127 OR NOT said STREQUAL ""
   OR NOT errors MATCHES "^kalvoro: cannot start kalvoro-batch for the command totals: ${WORK}/prefix/bin/kalvoro-batch: No such file or directory; ${helper}: No such file or directory\n$")
  message(FATAL_ERROR "without its helper, kalvoro totals ended with ${status}: ${said}${errors}")
endif()
