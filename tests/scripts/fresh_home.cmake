# cmake -DFOLDER=… -P fresh_home.cmake: empties FOLDER and makes the folders of a script run's
# own home in it (see CMakeLists.txt here).
if(NOT FOLDER)
  message(FATAL_ERROR "fresh_home.cmake needs -DFOLDER=")
endif()
file(REMOVE_RECURSE ${FOLDER})
file(MAKE_DIRECTORY ${FOLDER}/home ${FOLDER}/state ${FOLDER}/config ${FOLDER}/data ${FOLDER}/cache ${FOLDER}/tmp
     ${FOLDER}/work)
if(FILES AND IS_DIRECTORY ${FILES})
  file(GLOB given ${FILES}/*)
  file(COPY ${given} DESTINATION ${FOLDER}/work)
endif()
