# Builds the Debian package and checks what it holds and what it depends on, and that lintian
# finds nothing to warn about.
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
foreach(file ./usr/bin/kalvoro ./usr/lib/kalvoro/kalvoro-print.so ./usr/libexec/kalvoro/kalvoro-batch ./usr/share/applications/${id}.desktop ./usr/share/metainfo/${id}.metainfo.xml
             ./usr/share/icons/hicolor/scalable/apps/${id}.svg ./usr/share/icons/hicolor/32x32/apps/${id}.png
             ./usr/share/icons/hicolor/256x256/apps/${id}.png ./usr/share/man/man1/kalvoro.1.gz
             ./usr/share/mime/packages/${id}.xml ./usr/share/doc/kalvoro/copyright
             ./usr/share/doc/kalvoro/changelog.gz ./usr/share/doc/kalvoro/README.md)
  string(FIND "${listing}" " ${file}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the package lacks ${file}:\n${listing}")
  endif()
endforeach()
# Nothing of the build or the tests goes in: only the program and its desktop files.
string(REGEX MATCHALL " \\./usr/[^\n]*[^/]\n" files "${listing}")
list(LENGTH files count)
# The program, its print dialog's module and its batch commands' program, 7 PNG sizes, the SVG, the entry, the metadata, the
# order type, the manual, and the copyright, changelog and README.
if(NOT count EQUAL 18)
  message(FATAL_ERROR "the package holds ${count} files, not 18:\n${listing}")
endif()

execute_process(COMMAND dpkg-deb -f ${package} Package Version Architecture Depends OUTPUT_VARIABLE fields)
foreach(needed "Package: kalvoro" "Version: 5.0.0" "libqt6widgets6" "libqt6printsupport6" "qt6-qpa-plugins"
               "fonts-ipafont-gothic" "fonts-ipafont-mincho")
  string(FIND "${fields}" "${needed}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the package's fields lack ${needed}:\n${fields}")
  endif()
endforeach()

execute_process(COMMAND lintian --profile debian ${package} OUTPUT_VARIABLE said ERROR_VARIABLE said
                RESULT_VARIABLE failed)
if(failed OR said MATCHES "(^|\n)[EW]: ")
  message(FATAL_ERROR "lintian:\n${said}")
endif()
message(STATUS "${package}:\n${fields}")
