# The programs of the Windows build. kalvoro.com is the console's: the shop's commands, the
# scripted driver, the help and the version (app/console_win32.cpp). Windows tries .COM before
# .EXE, so the commands typed as `kalvoro …` reach it, while a double-click or the Start menu
# opens the window's kalvoro.exe beside it.
add_executable(kalvoro-console app/console_win32.cpp)
set_target_properties(kalvoro-console PROPERTIES OUTPUT_NAME kalvoro SUFFIX .com)
target_link_libraries(kalvoro-console PRIVATE kv_app kv_runtime)
# wmain: the arguments in UTF-16, whatever the user's code page.
target_link_options(kalvoro-console PRIVATE -municode)

# The installer (resources/windows/kalvoro.nsi.in, made by makensis from Debian's nsis): the
# install rules of the component `kalvoro` say what goes into the customer's install folder, and
# its uninstaller takes exactly those files away again. A program joins by its target's name here.
set(KV_WINDOWS_PROGRAMS kalvoro-console)
install(TARGETS ${KV_WINDOWS_PROGRAMS} RUNTIME DESTINATION . COMPONENT kalvoro)
# As text files, which a double-click opens in Notepad.
install(FILES README.md DESTINATION . RENAME README.txt COMPONENT kalvoro)
install(FILES resources/desktop/debian/copyright DESTINATION . RENAME LICENSE.txt COMPONENT kalvoro)

find_program(KV_MAKENSIS makensis)
if(NOT KV_MAKENSIS)
  message(STATUS "makensis (Debian: nsis) not found: no installer; tools/dev installs it")
  return()
endif()
set(KV_SETUP ${CMAKE_BINARY_DIR}/kalvoro-${PROJECT_VERSION}-setup.exe)
set(KV_STAGE ${CMAKE_BINARY_DIR}/installer/files)
set(KV_FILE_LIST ${CMAKE_BINARY_DIR}/installer/files.nsh)

set(kv_names README.txt LICENSE.txt)
foreach(program IN LISTS KV_WINDOWS_PROGRAMS)
  list(APPEND kv_names "$<TARGET_FILE_NAME:${program}>")
endforeach()
list(TRANSFORM kv_names PREPEND "  !insertmacro \${DO} \"")
list(TRANSFORM kv_names APPEND "\"\n")
string(JOIN "" kv_lines ${kv_names})
file(GENERATE OUTPUT ${KV_FILE_LIST} CONTENT "!macro KV_FILES DO\n${kv_lines}!macroend\n")
configure_file(resources/windows/kalvoro.nsi.in ${CMAKE_BINARY_DIR}/installer/kalvoro.nsi @ONLY)

# The installer's and the uninstaller's icon, from the desktop icon's drawing, where icoutils is
# there to pack it; else NSIS's own.
set(kv_icon_define)
find_program(KV_RSVG_CONVERT rsvg-convert)
find_program(KV_ICOTOOL icotool)
if(KV_RSVG_CONVERT AND KV_ICOTOOL)
  set(kv_ico ${CMAKE_BINARY_DIR}/installer/kalvoro.ico)
  set(kv_svg ${PROJECT_SOURCE_DIR}/resources/desktop/org.kalvoro.Kalvoro.svg)
  set(kv_pngs)
  foreach(size 16 32 48 256)
    set(png ${CMAKE_BINARY_DIR}/installer/icon-${size}.png)
    add_custom_command(OUTPUT ${png} COMMAND ${KV_RSVG_CONVERT} -w ${size} -h ${size} ${kv_svg} -o ${png}
                       DEPENDS ${kv_svg} VERBATIM)
    list(APPEND kv_pngs ${png})
  endforeach()
  # The largest size kept as PNG inside the icon, as Windows expects it.
  list(POP_BACK kv_pngs kv_large)
  add_custom_command(OUTPUT ${kv_ico} COMMAND ${KV_ICOTOOL} -c -o ${kv_ico} ${kv_pngs} --raw=${kv_large}
                     DEPENDS ${kv_pngs} ${kv_large} VERBATIM)
  set(kv_icon_define -DKV_ICON=${kv_ico})
else()
  message(STATUS "icotool (Debian: icoutils) or rsvg-convert not found: the installer has NSIS's icon")
endif()

# The programs go in stripped: their symbols would more than double the download.
add_custom_command(OUTPUT ${KV_SETUP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${KV_STAGE}
  COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --component kalvoro --prefix ${KV_STAGE} --strip
  COMMAND ${KV_MAKENSIS} -V2 -NOCD -INPUTCHARSET UTF8 ${kv_icon_define} ${CMAKE_BINARY_DIR}/installer/kalvoro.nsi
  DEPENDS ${KV_WINDOWS_PROGRAMS} ${kv_ico} ${KV_FILE_LIST} ${CMAKE_BINARY_DIR}/installer/kalvoro.nsi
          README.md resources/desktop/debian/copyright
  COMMENT "Making the installer kalvoro-${PROJECT_VERSION}-setup.exe"
  VERBATIM)
# Built with everything when the tests are, since one of them installs it under Wine.
if(KALVORO_TESTS)
  add_custom_target(kv_installer ALL DEPENDS ${KV_SETUP})
else()
  add_custom_target(kv_installer DEPENDS ${KV_SETUP})
endif()
