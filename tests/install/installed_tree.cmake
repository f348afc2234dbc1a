# Installs the build into a folder of its own and checks it as a desktop does: the program answers
# from there, the menu entry and the AppStream metadata pass their validators, and the icon and
# the manual page are where menus and man look for them.
# cmake -DBUILD=… -DPREFIX=… -P installed_tree.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX} OUTPUT_QUIET RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cmake --install failed")
endif()

set(id org.kalvoro.Kalvoro)
foreach(file bin/kalvoro share/applications/${id}.desktop share/metainfo/${id}.metainfo.xml
             share/icons/hicolor/scalable/apps/${id}.svg share/icons/hicolor/16x16/apps/${id}.png
             share/icons/hicolor/48x48/apps/${id}.png share/icons/hicolor/256x256/apps/${id}.png
             share/man/man1/kalvoro.1)
  if(NOT EXISTS ${PREFIX}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

execute_process(COMMAND ${PREFIX}/bin/kalvoro --version OUTPUT_VARIABLE version RESULT_VARIABLE failed)
if(failed OR NOT version MATCHES "^Kalvoro 5\\.0")
  message(FATAL_ERROR "the installed program answers \"${version}\" to --version")
endif()
execute_process(COMMAND desktop-file-validate ${PREFIX}/share/applications/${id}.desktop
                OUTPUT_VARIABLE said ERROR_VARIABLE said RESULT_VARIABLE failed)
if(failed OR said)
  message(FATAL_ERROR "desktop-file-validate: ${said}")
endif()
execute_process(COMMAND appstreamcli validate --no-net --explain ${PREFIX}/share/metainfo/${id}.metainfo.xml
                OUTPUT_VARIABLE said ERROR_VARIABLE said RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "appstreamcli validate: ${said}")
endif()
# The icon the menu entry names is the one installed, in every size.
file(STRINGS ${PREFIX}/share/applications/${id}.desktop icon REGEX "^Icon=")
if(NOT icon STREQUAL "Icon=${id}")
  message(FATAL_ERROR "the menu entry names the icon \"${icon}\"")
endif()
message(STATUS "installed into ${PREFIX}: ${version}")
