# Installs the build into a folder of its own and checks it as a desktop does: the program answers
# from there, the menu entry and the AppStream metadata pass their validators, the icon and the
# manual page are where menus and man look for them, and a file manager takes orders, by their
# first bytes, for the type the menu entry opens.
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
             share/man/man1/kalvoro.1.gz share/mime/packages/${id}.xml share/doc/kalvoro/copyright
             share/doc/kalvoro/changelog.gz share/doc/kalvoro/README.md)
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

# The type as glib's file managers see it, with the system's types beside ours (plain `xdg-mime`
# would ask `file`, which knows nothing of shared-mime-info, when no desktop session runs). The
# two databases are updated as the packages' triggers do; an entry whose program is not on the
# PATH offers nothing.
set(desktop ${CMAKE_COMMAND} -E env XDG_DATA_HOME=${PREFIX}/share XDG_DATA_DIRS=${PREFIX}/share:/usr/share
            PATH=${PREFIX}/bin:$ENV{PATH})
execute_process(COMMAND ${desktop} update-mime-database ${PREFIX}/share/mime COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND update-desktop-database ${PREFIX}/share/applications COMMAND_ERROR_IS_FATAL ANY)
set(order "\\x8a\\x84\\x88\\xf8\\x8c\\x94:1\\r\\n1234567890\\r\\n")  # 割引券:1 in Shift-JIS
set(type application/x-kalvoro-order)
foreach(case "ORDER.SAV|${order}|${type}" "メール添付用.TXT|${order}|${type}" "order.sav|${order}|${type}"
             "SPSS.SAV|$FL2@(#) SPSS DATA FILE|application/x-spss-sav" "data.sav|$FL2\\0\\0|application/x-spss-sav"
             "near.TXT|\\x8a\\x84\\x88\\xf8\\x8c\\x94 1\\r\\n|text/plain"
             "shop.TXT|\\x91\\x4f\\x8e\\xf3\\x8a\\x7a:1000\\r\\n${order}|${type}")  # 前受額 first
  string(REPLACE "|" ";" case "${case}")
  list(GET case 0 name)
  list(GET case 1 bytes)
  list(GET case 2 expected)
  execute_process(COMMAND printf "${bytes}" OUTPUT_FILE ${PREFIX}/${name})
  execute_process(COMMAND ${desktop} gio info -a standard::content-type ${PREFIX}/${name} OUTPUT_VARIABLE said)
  if(NOT said MATCHES "standard::content-type: ${expected}\n")
    message(FATAL_ERROR "${name} is taken for: ${said}")
  endif()
endforeach()
execute_process(COMMAND ${desktop} gio mime ${type} OUTPUT_VARIABLE said)
if(NOT said MATCHES "Default application for [^\n]*: ${id}\\.desktop")
  message(FATAL_ERROR "no application for ${type}: ${said}")
endif()
message(STATUS "installed into ${PREFIX}: ${version}")
