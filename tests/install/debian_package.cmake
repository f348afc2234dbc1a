# Builds the Debian package and checks what it holds and what it depends on.
# cmake -DBUILD=… -DWORK=… -P debian_package.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND cpack -G DEB --config ${BUILD}/CPackConfig.cmake -B ${WORK}
                OUTPUT_VARIABLE said ERROR_VARIABLE said RESULT_VARIABLE failed)
file(GLOB package ${WORK}/kalvoro_*.deb)
if(failed OR NOT package)
  message(FATAL_ERROR "cpack failed: ${said}")
endif()

execute_process(COMMAND dpkg-deb -c ${package} OUTPUT_VARIABLE listing RESULT_VARIABLE failed)
set(id org.kalvoro.Kalvoro)
foreach(file ./usr/bin/kalvoro ./usr/share/applications/${id}.desktop ./usr/share/metainfo/${id}.metainfo.xml
             ./usr/share/icons/hicolor/scalable/apps/${id}.svg ./usr/share/icons/hicolor/32x32/apps/${id}.png
             ./usr/share/icons/hicolor/256x256/apps/${id}.png ./usr/share/man/man1/kalvoro.1)
  string(FIND "${listing}" " ${file}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the package lacks ${file}:\n${listing}")
  endif()
endforeach()
# Nothing of the build or the tests goes in: only the program and its desktop files.
string(REGEX MATCHALL " \\./usr/[^\n]*[^/]\n" files "${listing}")
list(LENGTH files count)
if(NOT count EQUAL 12)  # the program, 7 PNG sizes, the SVG, the entry, the metadata, the manual
  message(FATAL_ERROR "the package holds ${count} files, not 12:\n${listing}")
endif()

execute_process(COMMAND dpkg-deb -f ${package} Package Version Architecture Depends OUTPUT_VARIABLE fields)
foreach(needed "Package: kalvoro" "Version: 5.0.0" "libqt6widgets6" "qt6-qpa-plugins" "fonts-ipafont-gothic"
               "fonts-ipafont-mincho")
  string(FIND "${fields}" "${needed}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the package's fields lack ${needed}:\n${fields}")
  endif()
endforeach()
message(STATUS "${package}:\n${fields}")
